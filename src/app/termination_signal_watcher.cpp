#include "app/termination_signal_watcher.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>

namespace tarvo {

namespace {
// The write end for the signal handler; a plain int read from a signal handler.
std::atomic<int> signalPipeWriteEnd{-1};
}  // namespace

TerminationSignalWatcher::TerminationSignalWatcher(std::function<void(int)> onSignal)
    : onSignal_(std::move(onSignal)) {
  if (pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0) {
    return;
  }
  signalPipeWriteEnd.store(pipe_[1]);
  struct sigaction action {};
  action.sa_handler = &TerminationSignalWatcher::OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, &previousTerm_);
  sigaction(SIGINT, &action, &previousInt_);
  notifier_ = std::make_unique<QSocketNotifier>(pipe_[0], QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this] { Drain(); });
}

TerminationSignalWatcher::~TerminationSignalWatcher() {
  if (pipe_[0] >= 0) {
    sigaction(SIGTERM, &previousTerm_, nullptr);
    sigaction(SIGINT, &previousInt_, nullptr);
    signalPipeWriteEnd.store(-1);
    notifier_.reset();
    close(pipe_[0]);
    close(pipe_[1]);
  }
}

void TerminationSignalWatcher::OnSignal(int signalNumber) {
  const int fd = signalPipeWriteEnd.load();
  if (fd >= 0) {
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const ssize_t written = write(fd, &byte, 1);
  }
}

void TerminationSignalWatcher::Drain() {
  unsigned char bytes[16];
  ssize_t count = 0;
  while ((count = read(pipe_[0], bytes, sizeof bytes)) > 0) {
    for (ssize_t i = 0; i < count; ++i) {
      if (onSignal_) {
        onSignal_(bytes[i]);
      }
    }
  }
}

}  // namespace tarvo
