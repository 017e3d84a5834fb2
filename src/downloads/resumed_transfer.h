#pragma once

#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <stop_token>
#include <string_view>

#include "downloads/download_record.h"
#include "net/request_route.h"
#include "net/i_http_callback.h"

namespace tarvo {

class CHttpHeader;
class DownloadManager;

// Takes up one download of an earlier run on the calling thread. With a validator it
// asks for the bytes after those the working file holds (Range with If-Range) and
// appends them; a part of another file (its validator, start or total differ) is
// not appended: the whole file is asked for again. When there is no validator, or
// the server answers with the whole file (it changed, or it offers no ranges), the
// file is written again from its first byte, but only when the answer is the file
// known: its length must be the download's known total and its type the type the
// engine received. Any other answer (a log-in page for a download that needs
// cookies, another file) leaves the bytes held untouched and the download paused
// and failed, for the user to try again. Reports go to the manager like an
// engine's, and its answers are obeyed: a pause keeps the file for a later Range
// request, a cancel deletes it.
//
// Threads: one worker thread per object; `attention` is raised by the thread that
// changed the record's requested state. Lifetime: the worker's run.
class ResumedTransfer : private IHttpCallback {
 public:
  // kMismatch: the server answered with something other than the file known.
  enum class Outcome { kComplete, kPaused, kCancelled, kFailed, kMismatch, kStopped };

  ResumedTransfer(DownloadManager& manager, DownloadRecord record, RequestRoute route, std::stop_token stop,
                  std::shared_ptr<std::atomic<bool>> attention);
  ~ResumedTransfer();

  // Runs until the download completes, the user pauses or cancels it, it fails
  // (after a few attempts that each brought bytes), or `stop` is requested (then
  // nothing is reported: the record stays as it was for the next start).
  Outcome Run();

 private:
  enum class Attempt { kDone, kRestartFromZero, kInterrupted, kMismatch };
  // What the answer's head said, when it ended the transfer before its body.
  enum class HeadVerdict { kContinue, kRestartFromZero, kAlreadyWhole, kMismatch };

  Attempt RunAttempt(const WString& validator);
  void OnHead(const CHttpHeader& head, int64_t requestedFrom, const WString& validator);
  // The head of a part (206) or of the whole file (200); throws to end the transfer.
  void OnPart(const CHttpHeader& head, int64_t requestedFrom, const WString& validator);
  void OnWhole(const CHttpHeader& head);
  // Ends the transfer (before its body, or in it) for `verdict`.
  [[noreturn]] void EndTransfer(HeadVerdict verdict);
  // The answer's type differs from the one the engine received (both known).
  bool OtherType(const CHttpHeader& head) const;
  void Write(std::string_view data);
  bool OpenFile(bool truncate);
  // False when the last writes could not reach the disk (a full disk).
  bool CloseFile();
  // Tells the manager; false when it answered that the driver must stop.
  // `retryable`: it stopped unfinished and keeps its bytes for the user to retry.
  bool Report(bool complete, bool ended, bool retryable = false);
  Outcome Finish(Outcome outcome);

  void OnDownloadProgress(uint32_t, int32_t, double, double) override {}
  bool IsCancelled() override;

  DownloadManager& manager_;
  DownloadRecord record_;
  RequestRoute route_;
  std::stop_token stop_;
  std::shared_ptr<std::atomic<bool>> attention_;
  std::FILE* file_ = nullptr;
  int64_t received_ = 0;
  int64_t total_ = 0;
  const int64_t knownTotal_;  // the record's total when the transfer began; 0 when unknown
  const WString knownType_;   // the engine's media type; empty when unknown
  WString learnedValidator_;  // of a whole file written again, for the next attempt
  bool halted_ = false;  // the manager asked for a pause or a cancel
  HeadVerdict verdict_ = HeadVerdict::kContinue;
  std::chrono::steady_clock::time_point lastReport_;
  int64_t receivedAtLastReport_ = 0;
  int64_t speed_ = 0;
};

}  // namespace tarvo
