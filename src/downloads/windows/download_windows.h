#pragma once
// Opens the download list under a main window's download button, for the button,
// the main menu and the engine's new downloads, and keeps the open list up to date
// with the download manager.
//
// Threads: the GUI thread, except RequestRefresh (any thread). Lifetime: made at
// start-up, lives for the process.
#include <QObject>
#include <atomic>

namespace tarvo {

class DownloadManager;
class DownloadWnd;
class FeatureCommands;
class IBrowserWindow;

class DownloadWindows {
 public:
  explicit DownloadWindows(DownloadManager& manager) : manager_(manager) {}

  // kShowDownloads opens the list; kShowDownloadsForNewDownload opens it to close by
  // itself after 10 seconds.
  void RegisterCommands(FeatureCommands& commands);
  // Opens the list with its top-right corner at the bottom-right corner of the
  // window's download button. An open list is refreshed instead (and closes 10
  // seconds from now when `autoClose`).
  void Show(IBrowserWindow& window, bool autoClose);
  // Queues one refresh of the open list on the GUI thread; requests that come while
  // one is queued share it.
  void RequestRefresh();

 private:
  DownloadManager& manager_;
  DownloadWnd* open_ = nullptr;  // not owned: the list on Show's stack while it runs
  std::atomic<bool> refreshQueued_{false};
  QObject anchor_;  // context of the queued refreshes
};

}  // namespace tarvo
