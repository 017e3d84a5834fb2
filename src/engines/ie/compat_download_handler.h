#pragma once

#include <chrono>
#include <functional>
#include <map>

#include "downloads/i_download_driver.h"
#include "engines/webkitgtk/compat_engine.h"
#include "platform/text.h"

class QWidget;

namespace tarvo {

class DownloadManager;
class IDownloadPrompts;

// The compatibility engine's downloads in the browser's download list: the download
// manager decides whether and where a download starts (its questions and the save
// dialog), the engine writes the working file, and each report moves the download's
// record. The engine cannot pause a download: pausing is refused and the list shows
// the entry without it; cancelling reaches the engine at once.
//
// Threads: GUI thread only. Lifetime: made at start-up, kept until the end of the
// process (the engine's downloads may outlive every window).
class CompatDownloadHandler : public ie::CompatDownloadListener, public IDownloadDriver {
 public:
  // Told once a download has been accepted: the window of the page it started in
  // (may be null), its URL and whether it is kept out of the records.
  using StartedCallback = std::function<void(QWidget* pageWindow, const WString& url, bool unrecorded)>;
  // Ids of this engine's downloads start here, far above the Chromium engine's and
  // the stored ones, so no two drivers share one.
  static constexpr int64_t kFirstId = int64_t{1} << 40;

  CompatDownloadHandler(DownloadManager& manager, IDownloadPrompts& prompts, StartedCallback started);

  QString Begin(ie::CompatDownload& download, const QString& suggestedName, bool privateProfile) override;
  void Progress(ie::CompatDownload& download, int64_t received, int64_t total) override;
  void Finished(ie::CompatDownload& download, bool complete) override;
  void OnStateRequested(int64_t id) override;

 private:
  DownloadManager& manager_;
  IDownloadPrompts& prompts_;
  StartedCallback started_;
  // A running download: its id and what its speed is measured from.
  struct Running {
    int64_t id = 0;
    std::chrono::steady_clock::time_point measured;
    int64_t measuredBytes = 0;
    int64_t speed = 0;  // bytes per second over the last second or more
  };

  int64_t nextId_ = kFirstId;
  std::map<ie::CompatDownload*, Running> running_;
  std::map<int64_t, ie::CompatDownload*> byId_;  // the same downloads, by id
};

}  // namespace tarvo
