#pragma once

#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <stop_token>
#include <string_view>

#include "downloads/download_record.h"
#include "downloads/download_route.h"
#include "net/i_http_callback.h"

namespace tarvo {

class CHttpHeader;
class DownloadManager;

// Takes up one download of an earlier run on the calling thread. With a validator it
// asks for the bytes after those the working file holds (Range with If-Range) and
// appends them; when there is none, or the server answers with the whole file (it
// changed, or it offers no ranges), the file is written again from its first byte.
// Reports go to the manager like an engine's, and its answers are obeyed: a pause
// keeps the file for a later Range request, a cancel deletes it.
//
// Threads: one worker thread per object; `attention` is raised by the thread that
// changed the record's requested state. Lifetime: the worker's run.
class ResumedTransfer : private IHttpCallback {
 public:
  enum class Outcome { kComplete, kPaused, kCancelled, kFailed, kStopped };

  ResumedTransfer(DownloadManager& manager, DownloadRecord record, DownloadRoute route, std::stop_token stop,
                  std::shared_ptr<std::atomic<bool>> attention);
  ~ResumedTransfer();

  // Runs until the download completes, the user pauses or cancels it, it fails
  // (after a few attempts that each brought bytes), or `stop` is requested (then
  // nothing is reported: the record stays as it was for the next start).
  Outcome Run();

 private:
  enum class Attempt { kDone, kRestartFromZero, kInterrupted };
  // What the answer's head said, when it ended the transfer before its body.
  enum class HeadVerdict { kContinue, kRestartFromZero, kAlreadyWhole };

  Attempt RunAttempt(const WString& validator);
  void OnHead(const CHttpHeader& head, int64_t requestedFrom, const WString& validator);
  void Write(std::string_view data);
  bool OpenFile(bool truncate);
  // False when the last writes could not reach the disk (a full disk).
  bool CloseFile();
  // Tells the manager; false when it answered that the driver must stop.
  bool Report(bool complete, bool ended);
  Outcome Finish(Outcome outcome);

  void OnDownloadProgress(uint32_t, int32_t, double, double) override {}
  bool IsCancelled() override;

  DownloadManager& manager_;
  DownloadRecord record_;
  DownloadRoute route_;
  std::stop_token stop_;
  std::shared_ptr<std::atomic<bool>> attention_;
  std::FILE* file_ = nullptr;
  int64_t received_ = 0;
  int64_t total_ = 0;
  bool halted_ = false;  // the manager asked for a pause or a cancel
  HeadVerdict verdict_ = HeadVerdict::kContinue;
  std::chrono::steady_clock::time_point lastReport_;
  int64_t receivedAtLastReport_ = 0;
  int64_t speed_ = 0;
};

}  // namespace tarvo
