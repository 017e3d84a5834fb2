#pragma once
// Keeps the session file in step with the open windows: every second it takes the
// tabs of each window (address, engine, pinned, zoom level, title, order, selection)
// and writes the file when they changed since the last write (so a burst of changes is
// one write, and an idle browser writes nothing). When the last window closes, the
// final state is written marked as an orderly end.
//
// Threads: the GUI thread. Lifetime: owned by start-up for the whole run; it must
// go before the windows' group.
#include <QTimer>

#include "session/session_file.h"
#include "session/session_state.h"

namespace tarvo {

class BrowserWindows;

class SessionKeeper {
 public:
  static constexpr int kPollMs = 1000;

  SessionKeeper(BrowserWindows& group, SessionFile file);
  ~SessionKeeper();
  SessionKeeper(const SessionKeeper&) = delete;
  SessionKeeper& operator=(const SessionKeeper&) = delete;

  // Starts writing after `delayMs` (a restored session first has to get through its
  // first moments: until then the file keeps saying that a restore is under way).
  void Start(int delayMs);
  // The browser ends in order with the windows open now (all of them are about to
  // close): writes them marked so and stops. The last window's close does this too.
  void Finish();
  // The tabs of every open window now (private windows are never kept).
  static SessionState Snapshot(const BrowserWindows& group);

 private:
  void Save(bool cleanExit);
  void OnWindowClosing();

  BrowserWindows& group_;
  const SessionFile file_;
  QTimer poll_;
  SessionState written_;
  bool writtenOnce_ = false;
  bool finished_ = false;
};

}  // namespace tarvo
