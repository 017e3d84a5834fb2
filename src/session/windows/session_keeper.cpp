#include "session/windows/session_keeper.h"

#include "platform/debug_output.h"
#include "shell/mainwnd/browser_windows.h"
#include "shell/mainwnd/i_browser_window.h"
#include "shell/pages/page.h"
#include "shell/pages/pages.h"
#include "shell/pages/tab.h"

namespace tarvo {

SessionKeeper::SessionKeeper(BrowserWindows& group, SessionFile file) : group_(group), file_(std::move(file)) {
  poll_.setInterval(kPollMs);
  QObject::connect(&poll_, &QTimer::timeout, [this] { Save(false); });
  group_.SetClosingHandler([this](IBrowserWindow*) { OnWindowClosing(); });
}

SessionKeeper::~SessionKeeper() { group_.SetClosingHandler(nullptr); }

void SessionKeeper::Start(int delayMs) {
  QTimer::singleShot(delayMs, &poll_, [this] {
    if (finished_) return;
    Save(false);
    poll_.start();
  });
}

SessionState SessionKeeper::Snapshot(const BrowserWindows& group) {
  SessionState state;
  for (IBrowserWindow* window : group.Windows()) {
    const Pages& pages = window->PageList();
    // A private window leaves no trace, and is not offered again after a crash.
    if (pages.IsPrivate()) continue;
    SavedWindow saved;
    for (int i = 0; i < pages.Count(); ++i) {
      const Page* page = pages.PageAt(i);
      const std::string url = WideToUtf8(page->GetDisplayUrl());
      if (url.empty()) continue;
      if (page == pages.Current()) saved.selected = static_cast<int>(saved.tabs.size());
      saved.tabs.push_back({url, page->GetEngineType(), page->GetTab() != nullptr && page->GetTab()->IsPinned(),
                            page->ZoomLevel(), WideToUtf8(page->GetTitle())});
    }
    if (!saved.tabs.empty()) state.windows.push_back(std::move(saved));
  }
  return state;
}

void SessionKeeper::Save(bool cleanExit) {
  SessionState state = Snapshot(group_);
  state.cleanExit = cleanExit;
  if (writtenOnce_ && state == written_) return;
  if (!file_.Write(state)) {
    DebugOutput("session not written: " + file_.Path());
    return;
  }
  written_ = std::move(state);
  writtenOnce_ = true;
}

void SessionKeeper::OnWindowClosing() {
  // Closing one of several windows drops its tabs from the session at the next
  // poll; closing the last one ends the run in order with its tabs kept.
  if (group_.Count() == 1) Finish();
}

void SessionKeeper::Finish() {
  if (finished_) return;
  finished_ = true;
  poll_.stop();
  // A page whose first address the engine reported a moment ago (its request may
  // already be out) is kept with that address, not dropped as blank.
  group_.ApplyPageReports();
  Save(true);
}

}  // namespace tarvo
