#pragma once
// Turns SIGTERM and SIGINT into an orderly close on the GUI thread: the signal
// handler only writes a byte to a pipe (async-signal-safe); the event loop reads it
// and calls the handler, which closes the main window like the user would.
//
// Threads: construct, destroy and handle on the GUI thread. One watcher per
// process; it restores the previous signal actions when destroyed.
#include <QSocketNotifier>
#include <csignal>
#include <functional>
#include <memory>

namespace tarvo {

class TerminationSignalWatcher {
 public:
  explicit TerminationSignalWatcher(std::function<void(int signalNumber)> onSignal);
  ~TerminationSignalWatcher();
  TerminationSignalWatcher(const TerminationSignalWatcher&) = delete;
  TerminationSignalWatcher& operator=(const TerminationSignalWatcher&) = delete;

  // False when the pipe or the handlers could not be set up (signals then keep
  // their default action).
  bool active() const { return notifier_ != nullptr; }

 private:
  static void OnSignal(int signalNumber);
  void Drain();

  std::function<void(int)> onSignal_;
  int pipe_[2] = {-1, -1};  // owned; [1] is written by the signal handler
  std::unique_ptr<QSocketNotifier> notifier_;
  struct sigaction previousTerm_ {};
  struct sigaction previousInt_ {};
};

}  // namespace tarvo
