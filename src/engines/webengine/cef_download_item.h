#pragma once

#include <cstdint>

#include "engines/webengine/cef_string.h"

namespace tarvo::cef {

// A snapshot of one download, taken when the callback is made.
class CefDownloadItem {
 public:
  struct Data {
    uint32_t id = 0;
    CefString url;           // the address the download was started from
    CefString original_url;  // the same: this engine does not disclose redirects
    CefString suggested_file_name;
    CefString full_path;     // the file being written, empty before it is chosen
    CefString mime_type;
    int64_t received_bytes = 0;
    int64_t total_bytes = 0;  // 0 when the server did not announce it
    int64_t current_speed = 0;  // bytes per second over the last report interval
    bool in_progress = false;
    bool paused = false;
    bool complete = false;
    bool canceled = false;     // cancelled or interrupted: it has ended unfinished
    bool interrupted = false;  // ended by the server or the connection, not by a cancel
    int interrupt_reason = 0;  // why, in Chromium's numbering (3 no space, 22 disconnected ...); 0 none
  };

  explicit CefDownloadItem(Data data) : data_(std::move(data)) {}

  uint32_t GetId() const { return data_.id; }
  const CefString& GetURL() const { return data_.url; }
  const CefString& GetOriginalUrl() const { return data_.original_url; }
  const CefString& GetSuggestedFileName() const { return data_.suggested_file_name; }
  const CefString& GetFullPath() const { return data_.full_path; }
  const CefString& GetMimeType() const { return data_.mime_type; }
  int64_t GetReceivedBytes() const { return data_.received_bytes; }
  int64_t GetTotalBytes() const { return data_.total_bytes; }
  int64_t GetCurrentSpeed() const { return data_.current_speed; }
  // -1 when the total is unknown.
  int GetPercentComplete() const {
    return data_.total_bytes > 0 ? static_cast<int>(data_.received_bytes * 100 / data_.total_bytes) : -1;
  }
  bool IsInProgress() const { return data_.in_progress; }
  bool IsPaused() const { return data_.paused; }
  bool IsComplete() const { return data_.complete; }
  // True when the download was cancelled or interrupted.
  bool IsCanceled() const { return data_.canceled; }
  // True when a failure (server answer, lost connection) ended the download.
  bool IsInterrupted() const { return data_.interrupted; }
  // Why it was interrupted, as Chromium numbers the reasons (the engine's own
  // interrupt reasons carry the same numbers); 0 when it was not.
  int GetInterruptReason() const { return data_.interrupt_reason; }

 private:
  Data data_;
};

}  // namespace tarvo::cef
