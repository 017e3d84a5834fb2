#include "account/account_task_queue.h"

#include <exception>
#include <future>
#include <memory>

#include "platform/debug_output.h"

namespace tarvo {

void AccountTaskQueue::Post(std::function<void()> task) {
  std::lock_guard lock(mutex_);
  tasks_.push_back(std::move(task));
  if (!started_) {
    started_ = true;
    std::thread([this] { Run(); }).detach();
  }
  changed_.notify_all();
}

void AccountTaskQueue::RunAndWait(std::function<void()> task) {
  auto finished = std::make_shared<std::promise<void>>();
  std::future<void> done = finished->get_future();
  Post([task = std::move(task), finished] {
    // Set however the task ends, so the waiter never hangs on a task that threw.
    struct Finish {
      std::promise<void>& promise;
      ~Finish() { promise.set_value(); }
    } finish{*finished};
    task();
  });
  done.wait();
}

bool AccountTaskQueue::WaitIdle(std::chrono::milliseconds limit) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, limit, [this] { return tasks_.empty() && !busy_; });
}

void AccountTaskQueue::Run() {
  for (;;) {
    std::function<void()> task;
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [this] { return !tasks_.empty(); });
      task = std::move(tasks_.front());
      tasks_.pop_front();
      busy_ = true;
    }
    try {
      task();
    } catch (const std::exception& error) {
      DebugOutput(std::string("account task failed: ") + error.what());
    } catch (...) {
      DebugOutput("account task failed");
    }
    std::lock_guard lock(mutex_);
    busy_ = false;
    changed_.notify_all();
  }
}

}  // namespace tarvo
