#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace tarvo {

// The one thread on which the account and VPN operations run, one after another in
// the order they were asked for: a log-in, a node list, a connection and its cancel
// never overtake each other, and none of them waits on the interface thread. Each
// task reports its own result (a queued call to the interface thread, or the bus).
//
// Threads: Post, RunAndWait and WaitIdle from any thread; the tasks run on the
// queue's thread. mutex_ guards the queue and the busy flag. Lifetime: start-up
// makes the browser's and hands it on; whoever makes a queue never destroys it, for
// its thread (started with the first task) ends only with the process (a request
// may still be waiting on a silent service then).
class AccountTaskQueue {
 public:
  AccountTaskQueue() = default;
  AccountTaskQueue(const AccountTaskQueue&) = delete;
  AccountTaskQueue& operator=(const AccountTaskQueue&) = delete;

  // Queues `task`; it runs after every task posted before it. A task that throws is
  // reported on the debug output and the queue goes on.
  void Post(std::function<void()> task);
  // Queues `task` and waits until it has run. Never call it from a task.
  void RunAndWait(std::function<void()> task);
  // Waits until nothing is queued or running; false when `limit` passed first.
  bool WaitIdle(std::chrono::milliseconds limit);

 private:
  void Run();

  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::function<void()>> tasks_;  // guarded by mutex_
  bool busy_ = false;                        // guarded by mutex_
  bool started_ = false;                     // guarded by mutex_
};

}  // namespace tarvo
