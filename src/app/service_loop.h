#pragma once
// The background thread that keeps the browser's service data fresh: runs its steps
// in order, then waits for the period, again and again until stopped. A step reports
// its own failures (DebugOutput); the loop carries on regardless.
//
// Threads: Start and Stop on the first thread; the steps run on the loop's own
// thread and must not touch widgets (they reach the windows through the message
// bus). mutex_ guards stopping_; the condition variable wakes the wait at Stop.
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "shell/mainwnd/service_step.h"

namespace tarvo {

class ServiceLoop {
 public:
  using Step = ServiceStep;

  ServiceLoop(std::vector<Step> steps, std::chrono::milliseconds period);
  // Stops and joins the thread if it still runs.
  ~ServiceLoop();
  ServiceLoop(const ServiceLoop&) = delete;
  ServiceLoop& operator=(const ServiceLoop&) = delete;

  // Starts the thread; the first round begins at once. Once only.
  void Start();
  // Asks the thread to end and waits for it: at once when it is waiting, after the
  // current step when one is running. Idempotent.
  void Stop();
  // True once Stop was asked for; a long step may poll it to end early. Any thread.
  bool stopping() const;

 private:
  void RunLoop();

  const std::vector<Step> steps_;
  const std::chrono::milliseconds period_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace tarvo
