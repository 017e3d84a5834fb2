#pragma once
// What start-up does with the session the last run left: restore it, ask the user
// (the last run did not close in order), or open the home page; and when a restore
// of it already crashed the browser twice in a row, the home page with a word why.
// Plain logic, no state.
#include "session/session_file.h"

namespace tarvo {

class SessionStart {
 public:
  enum class Choice {
    kHomePage,
    kRestore,
    kAskUser,    // offer the crashed session
    kCrashLoop,  // its restores crashed twice in a row: home page, and say so
  };
  // Restores begun and never got through before the guard stops offering one.
  static constexpr int kCrashedRestores = 2;

  // `restoreChosen`: the user's setting to restore the last session at each start.
  static Choice Decide(const SessionFile::ReadResult& read, bool restoreChosen);
  // Whether a file read so must be set aside before the run writes its own.
  static bool MustSetAside(SessionFile::Status status);
};

}  // namespace tarvo
