#pragma once
// The session file: one JSON document {"version":1,"clean":..,"restoring":..,
// "windows":[{"selected":0,"tabs":[{"url":..,"engine":1,"pinned":false,"zoom":0,
// "title":..}]}]} (the title may be missing),
// replaced whole on every write (a crash leaves the old file or the new one). A file
// that is empty, damaged or written by a later version is never trusted nor
// overwritten unseen: it is set aside under a ".bad" name.
//
// Threads: any; one writer per path at a time.
#include <string>

#include "session/session_state.h"

namespace tarvo {

class SessionFile {
 public:
  static constexpr int kVersion = 1;
  // The file's name in the data folder.
  static constexpr const char* kFileName = "session.json";
  enum class Status { kOk, kMissing, kEmpty, kDamaged, kFutureVersion };
  struct ReadResult {
    Status status = Status::kMissing;
    SessionState state;
  };

  explicit SessionFile(std::string path) : path_(std::move(path)) {}

  ReadResult Read() const;
  // Replaces the file atomically; false when it could not be written.
  bool Write(const SessionState& state) const;
  // Moves the file to "<path>.bad" (replacing an older one there); false when it
  // could not be moved.
  bool SetAside() const;
  // Deletes the file and the one set aside beside it (they name the addresses and
  // titles of the windows' tabs). True when neither is left.
  bool Remove() const;
  const std::string& Path() const { return path_; }

  static std::string Serialize(const SessionState& state);
  // Tabs without an address and windows without tabs are dropped; a selection out
  // of range becomes the first tab; an unknown engine becomes Chromium.
  static ReadResult Parse(const std::string& text);

 private:
  std::string path_;
};

}  // namespace tarvo
