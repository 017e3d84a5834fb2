#include "session/windows/tab_sleeper.h"

#include <QPointer>
#include <chrono>
#include <utility>

#include "platform/freed_memory.h"
#include "session/sleeping_tabs_setting.h"
#include "shell/mainwnd/browser_windows.h"
#include "shell/mainwnd/feature_hooks.h"
#include "shell/mainwnd/i_browser_window.h"
#include "shell/pages/page.h"
#include "shell/pages/pages.h"
#include "shell/pages/tab.h"

namespace tarvo {

namespace {

using std::chrono::duration_cast;
using std::chrono::milliseconds;
using State = TabRestPolicy::State;

State StateOf(BodyRest rest) {
  switch (rest) {
    case BodyRest::kFrozen:
      return State::kFrozen;
    case BodyRest::kDiscarded:
      return State::kDiscarded;
    default:
      return State::kAwake;
  }
}

}  // namespace

TabSleeper::TabSleeper(Lists lists) : lists_(std::move(lists)) {
  QObject::connect(&timer_, &QTimer::timeout, this, [this] { Check(); });
}

void TabSleeper::Register(FeatureHooks& hooks) {
  BrowserWindows& windows = hooks.windows;
  auto sleeper = std::make_shared<TabSleeper>([&windows] {
    std::vector<Pages*> lists;
    for (IBrowserWindow* window : windows.Windows()) lists.push_back(&window->PageList());
    return lists;
  });
  windows.AddWindowHook([sleeper](IBrowserWindow&) { sleeper->Start(); });
}

void TabSleeper::Start() {
  if (timer_.isActive()) return;
  timer_.start(TabRestPolicy::CheckInterval(SleepingTabsSetting::Delay()));
}

bool TabSleeper::InBackground(const Page* page) const {
  for (const Pages* pages : lists_()) {
    if (pages->IndexOf(page) >= 0) return pages->Current() != page;
  }
  return false;
}

void TabSleeper::PutToRest(Page* page, BodyRest rest) {
  page->Rest(rest);
  discarded_ = discarded_ || rest == BodyRest::kDiscarded;
}

void TabSleeper::Check() {
  const bool enabled = SleepingTabsSetting::Enabled();
  const milliseconds delay = SleepingTabsSetting::Delay();
  timer_.setInterval(TabRestPolicy::CheckInterval(delay));
  // The engine lets discarded pages go once its loop has run: the memory is free by
  // the next check.
  if (std::exchange(discarded_, false)) ReturnFreedMemory();
  const auto now = std::chrono::steady_clock::now();
  for (Pages* list : lists_()) {
    Pages& pages = *list;
    Page* current = pages.Current();
    if (current != nullptr) current->MarkUsed();
    for (int i = 0; i < pages.Count(); ++i) {
      Page* page = pages.PageAt(i);
      ITabBody* body = page->Body();
      TabRestPolicy::Tab tab;
      tab.unused = duration_cast<milliseconds>(now - page->LastUsed());
      tab.state = StateOf(page->RestState());
      tab.selected = page == current;
      tab.pinned = page->GetTab() != nullptr && page->GetTab()->IsPinned();
      tab.audible = body != nullptr && body->IsAudible();
      const TabRestPolicy::Step step = TabRestPolicy::Next(tab, enabled, delay);
      if (step == TabRestPolicy::Step::kNone || body == nullptr) continue;
      const BodyRest rest = step == TabRestPolicy::Step::kFreeze ? BodyRest::kFrozen : BodyRest::kDiscarded;
      if (tab.state != State::kAwake) {
        // Frozen since it was last asked: nobody typed into it since.
        PutToRest(page, rest);
        continue;
      }
      // The answer may come after the page, its window or this object went.
      body->AskTypedInto([self = QPointer<TabSleeper>(this), page, rest](bool typed) {
        if (!typed && self != nullptr && self->InBackground(page)) self->PutToRest(page, rest);
      });
    }
  }
}

}  // namespace tarvo
