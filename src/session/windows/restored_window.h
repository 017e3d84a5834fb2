#pragma once
// Opens a saved window's tabs in a window's page list one after another, so they
// keep their saved order although the two engines add their pages at different
// moments (a Chromium page joins through the bus, a compatibility page through the
// window's message queue), each at its saved zoom level; then pins the saved
// pinned tabs and selects the saved selected one. Deletes itself when done, when
// the window closes its pages, or with the window.
//
// Threads: the GUI thread. Lifetime: its own (see above); `pages` must stay valid
// while the window exists.
#include <QObject>
#include <QTimer>
#include <vector>

#include "session/session_state.h"

class QWidget;

namespace tarvo {

class Pages;

class RestoredWindow : public QObject {
 public:
  // A tab whose page never joins is given up after this long.
  static constexpr int kTabPatienceMs = 15000;

  // Starts at once; `window` is the page list's window (its going ends the work).
  static void Start(QWidget* window, Pages& pages, SavedWindow saved);

 private:
  RestoredWindow(QWidget* window, Pages& pages, SavedWindow saved);
  void Step();
  void OpenNext();
  void Finish();

  Pages& pages_;
  const SavedWindow saved_;
  std::vector<int> indexOfTab_;  // where each opened tab's page sits, -1 when it never joined
  size_t next_ = 0;
  int countBefore_ = 0;
  int waitedMs_ = 0;
  QTimer timer_;
};

}  // namespace tarvo
