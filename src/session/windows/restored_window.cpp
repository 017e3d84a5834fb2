#include "session/windows/restored_window.h"

#include <QWidget>

#include "shell/pages/i_tab_body.h"
#include "shell/pages/page.h"
#include "shell/pages/pages.h"

namespace tarvo {

namespace {
constexpr int kStepMs = 10;
constexpr int kCompatibility = 2;
}  // namespace

void RestoredWindow::Start(QWidget* window, Pages& pages, SavedWindow saved) {
  if (window == nullptr || saved.tabs.empty()) return;
  new RestoredWindow(window, pages, std::move(saved));  // a child of the window
}

RestoredWindow::RestoredWindow(QWidget* window, Pages& pages, SavedWindow saved)
    : QObject(window), pages_(pages), saved_(std::move(saved)) {
  QObject::connect(&timer_, &QTimer::timeout, this, [this] { Step(); });
  timer_.start(kStepMs);
  OpenNext();
}

void RestoredWindow::OpenNext() {
  const SavedTab& tab = saved_.tabs[next_];
  countBefore_ = pages_.Count();
  waitedMs_ = 0;
  const WString url = Utf8ToWide(tab.url);
  tab.engineType == kCompatibility ? pages_.OpenIeTab(url) : pages_.OpenUrlInNewTab(url);
}

void RestoredWindow::Step() {
  if (pages_.BodyBar() == nullptr) {
    // The window closed its pages (the user closed it while it was being restored).
    timer_.stop();
    deleteLater();
    return;
  }
  waitedMs_ += kStepMs;
  const bool joined = pages_.Count() > countBefore_;
  if (!joined && waitedMs_ < kTabPatienceMs) return;
  indexOfTab_.push_back(joined ? pages_.Count() - 1 : -1);
  const double zoom = saved_.tabs[next_].zoomLevel;
  if (Page* page = joined ? pages_.PageAt(pages_.Count() - 1) : nullptr; page != nullptr && zoom != 0) {
    if (page->Body() != nullptr) page->Body()->SetZoomLevel(zoom);
  }
  if (++next_ < saved_.tabs.size()) {
    OpenNext();
    return;
  }
  Finish();
}

void RestoredWindow::Finish() {
  timer_.stop();
  for (size_t i = 0; i < indexOfTab_.size(); ++i) {
    if (indexOfTab_[i] >= 0 && saved_.tabs[i].pinned) pages_.PinPage(pages_.PageAt(indexOfTab_[i]), true);
  }
  const int selected = indexOfTab_[static_cast<size_t>(saved_.selected)];
  if (selected >= 0) pages_.SelectPage(pages_.PageAt(selected));
  deleteLater();
}

}  // namespace tarvo
