#pragma once
// Points this test program's libsecret at a private keyring's bus (or at an address
// where no bus answers). The session bus connection is kept with its exit-on-close
// switched off, so the bus going away at the test's end does not end the program.
//
// Threads: the test's thread, before the program's first keyring call on that bus.
#include <string>

namespace tarvo::test {

class KeyringSession {
 public:
  explicit KeyringSession(const std::string& busAddress);
  ~KeyringSession();
  KeyringSession(const KeyringSession&) = delete;
  KeyringSession& operator=(const KeyringSession&) = delete;

 private:
  void* connection_ = nullptr;  // a GDBusConnection, held until the end
};

}  // namespace tarvo::test
