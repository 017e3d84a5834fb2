#pragma once
// A Secret Service of the test's own: a session bus started for the test (no service
// is activated on it by name) and GNOME Keyring on it with its login keyring created
// and unlocked in a fresh folder. Programs given `address()` as their
// DBUS_SESSION_BUS_ADDRESS keep their passwords there and nowhere else. Both daemons
// end with the object.
//
// Threads: the test's thread.
#include <sys/types.h>

#include <string>

#include "support/temp_dir.h"

namespace tarvo::test {

class PrivateKeyring {
 public:
  // `withKeyring` false: the bus alone, where no Secret Service answers.
  explicit PrivateKeyring(bool withKeyring = true);
  ~PrivateKeyring();
  PrivateKeyring(const PrivateKeyring&) = delete;
  PrivateKeyring& operator=(const PrivateKeyring&) = delete;

  // Whether the bus (and the keyring, when asked for) came up.
  bool running() const { return running_; }
  const std::string& address() const { return address_; }

 private:
  TempDir dir_;
  pid_t bus_ = -1;
  pid_t keyring_ = -1;
  std::string address_;
  bool running_ = false;
};

}  // namespace tarvo::test
