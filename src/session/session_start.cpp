#include "session/session_start.h"

namespace tarvo {

SessionStart::Choice SessionStart::Decide(const SessionFile::ReadResult& read, bool restoreChosen) {
  if (read.status != SessionFile::Status::kOk || read.state.windows.empty()) return Choice::kHomePage;
  if (read.state.restoreAttempts >= kCrashedRestores) return Choice::kCrashLoop;
  if (read.state.cleanExit) return restoreChosen ? Choice::kRestore : Choice::kHomePage;
  return Choice::kAskUser;
}

bool SessionStart::MustSetAside(SessionFile::Status status) {
  return status == SessionFile::Status::kEmpty || status == SessionFile::Status::kDamaged ||
         status == SessionFile::Status::kFutureVersion;
}

}  // namespace tarvo
