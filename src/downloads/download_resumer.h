#pragma once

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "account/vpn_route.h"
#include "downloads/i_download_driver.h"
#include "platform/text.h"

namespace tarvo {

class DownloadManager;

// Drives the downloads the engine no longer can: those of an earlier run. At start
// the ones that were running when the browser closed are taken up again; paused
// ones wait until the user continues them. It also learns, when the engine starts a
// download, the validator a later Range request needs.
//
// Threads: the public calls come from the GUI thread; each download and each probe
// runs on a thread of its own, all joined by StopAll. mutex_ guards the maps.
// Lifetime: made at start-up, StopAll at the browser's end. Requests go the way
// `route` says (the VPN's while it is on).
class DownloadResumer : public IDownloadDriver {
 public:
  DownloadResumer(DownloadManager& manager, VpnRoute route);
  ~DownloadResumer();
  DownloadResumer(const DownloadResumer&) = delete;
  DownloadResumer& operator=(const DownloadResumer&) = delete;

  // Takes up every stored download that was running at the last exit.
  void ResumeInterrupted();
  // Asks the server of a download the engine has started for its validator, on a
  // worker, and keeps it with the manager.
  void ProbeValidator(const WString& url);
  // A stored download was continued, paused or cancelled by the user.
  void OnStateRequested(int64_t id) override;
  // Stops every transfer and probe and waits for them: the files keep their bytes
  // and the records their states, so the next start takes them up again. Nothing
  // new starts while it waits.
  void StopAll();
  // Transfers running now (tests and benchmarks).
  size_t RunningCount();

 private:
  struct Worker {
    std::shared_ptr<std::atomic<bool>> attention = std::make_shared<std::atomic<bool>>(false);
    std::shared_ptr<std::atomic<bool>> finished = std::make_shared<std::atomic<bool>>(false);
    std::jthread thread;
  };

  void Start(int64_t id);
  void ForgetFinishedLocked();

  DownloadManager& manager_;
  const VpnRoute route_;
  std::mutex mutex_;
  std::map<int64_t, Worker> workers_;  // guarded by mutex_
  std::vector<std::jthread> probes_;   // guarded by mutex_
  bool stopping_ = false;              // guarded by mutex_
};

}  // namespace tarvo
