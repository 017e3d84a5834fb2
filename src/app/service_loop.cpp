#include "app/service_loop.h"

#include <exception>

#include "platform/debug_output.h"

namespace tarvo {

ServiceLoop::ServiceLoop(std::vector<Step> steps, std::chrono::milliseconds period)
    : steps_(std::move(steps)), period_(period) {}

ServiceLoop::~ServiceLoop() { Stop(); }

void ServiceLoop::Start() {
  if (!thread_.joinable()) {
    thread_ = std::thread([this] { RunLoop(); });
  }
}

void ServiceLoop::Stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) {
    thread_.join();
  }
}

bool ServiceLoop::stopping() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return stopping_;
}

void ServiceLoop::RunLoop() {
  while (!stopping()) {
    for (const Step& step : steps_) {
      if (stopping()) {
        return;
      }
      try {
        step.run();
      } catch (const std::exception& error) {
        // A step's failure must not end the loop: the next round may succeed.
        DebugOutput("service loop: " + step.name + " failed: " + error.what());
      }
    }
    std::unique_lock<std::mutex> lock(mutex_);
    wake_.wait_for(lock, period_, [this] { return stopping_; });
  }
}

}  // namespace tarvo
