#pragma once

#include <cstdint>

namespace tarvo {

// Whatever moves the bytes of a download: the engine, or the resumer that takes up
// downloads of an earlier run. The manager tells it when the user asks a download of
// its to pause, continue or cancel, so the request does not wait for the next
// progress report (a stalled server sends none).
// Threads: called on the thread that made the request, outside the manager's lock.
class IDownloadDriver {
 public:
  // The record `id` changed its requested state; look it up and apply it.
  virtual void OnStateRequested(int64_t id) = 0;

 protected:
  ~IDownloadDriver() = default;
};

}  // namespace tarvo
