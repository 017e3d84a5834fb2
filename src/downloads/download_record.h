#pragma once

#include <cstdint>

#include "platform/text.h"

namespace tarvo {

// The states of a download as the list and the download table keep them.
namespace DownloadState {
inline constexpr int kDownloading = 0;
inline constexpr int kComplete = 1;
inline constexpr int kPaused = 2;           // pause requested, or paused
inline constexpr int kResumeRequested = 3;
inline constexpr int kCancelled = -1;       // cancel requested, cancelled, or failed

// Downloading, paused or about to resume: the download has not ended.
constexpr bool IsRunning(int state) {
  return state == kDownloading || state == kPaused || state == kResumeRequested;
}
}  // namespace DownloadState

// One download of the manager's list. Plain data; the manager owns the list and
// hands out copies.
struct DownloadRecord {
  // What the list says of an ended download that went wrong.
  enum class Problem {
    kNone,
    kFailed,          // the engine or the server ended it unfinished, saying no more
    kDiskFull,        // no room left for the file
    kNoPermission,    // the file may not be written where the user chose
    kConnectionLost,  // the server or the network closed the connection
    kServerRefused,   // the server answered with an error instead of the file
    kRenameFailed,    // complete, but the working file could not take the chosen name
  };
  // The problems that ended a download unfinished.
  static constexpr bool IsFailure(Problem problem) {
    return problem != Problem::kNone && problem != Problem::kRenameFailed;
  }

  int state = DownloadState::kDownloading;
  // The engine's download identifier; records read from the database get
  // 0x7FFFFFFF minus their row index.
  int64_t id = 0;
  int64_t speed = 0;     // bytes per second
  int64_t received = 0;  // bytes
  int64_t total = 0;     // bytes; 0 when unknown
  WString url;           // where the download started (before redirects); the row's key
  WString workingPath;   // the file being written (chosen path + ".tmp"); the chosen path once renamed
  WString finalPath;     // the path the user chose
  WString fileName;      // the chosen path's last component
  Problem problem = Problem::kNone;
  // Started in a private window: never written to the table, and gone from the list
  // once the last private window has closed (the file itself stays the user's).
  bool unrecorded = false;
  // Its driver can pause it (the compatibility engine cannot); the list then shows no
  // pause for it. Not stored: a download taken up after a restart can always pause.
  bool pausable = true;
};

}  // namespace tarvo
