#pragma once
// What a desktop with a screen reader brings, for the tests of one program: a private
// session bus, the accessibility bus beside it (at-spi-bus-launcher with the
// registry), its address published on the display's root window as a desktop session
// publishes it, and the flag a screen reader sets to say it listens. Programs started
// with Environment() export their accessibility tree there; this process reads it
// through the AT-SPI library.
//
// Qt 5 finds the bus by the display's address at start; asked through the session bus
// instead, it registers before its connection is up and is never heard of. The
// address goes again when the launcher ends (the tests hold the display meanwhile).
//
// Threads: the test's thread. One per test program: this process's AT-SPI connection
// stays with the first bus it met.
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "e2e/child_process.h"
#include "support/private_keyring.h"

namespace tarvo::e2e {

class AccessibilityBus {
 public:
  // Starts both buses under `folder`; Ready() tells whether they came up.
  explicit AccessibilityBus(const std::filesystem::path& folder);
  ~AccessibilityBus();
  AccessibilityBus(const AccessibilityBus&) = delete;
  AccessibilityBus& operator=(const AccessibilityBus&) = delete;

  bool Ready() const { return ready_; }
  // The environment entries that put a program on these buses.
  std::map<std::string, std::string> Environment() const { return {{"DBUS_SESSION_BUS_ADDRESS", session_.address()}}; }
  // The launcher's log, for a failure's message.
  std::string Logs() const { return launcher_ ? launcher_->Log() : std::string(); }

 private:
  test::PrivateKeyring session_{false};  // the session bus alone
  std::unique_ptr<ChildProcess> launcher_;
  bool ready_ = false;
};

}  // namespace tarvo::e2e
