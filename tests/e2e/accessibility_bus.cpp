#include "e2e/accessibility_bus.h"

#include <signal.h>

#include <chrono>

#include "e2e/display.h"

namespace tarvo::e2e {

namespace {
using namespace std::chrono_literals;
}  // namespace

AccessibilityBus::AccessibilityBus(const std::filesystem::path& folder)
    : address_("unix:path=" + (folder / "session_bus").string()) {
  std::filesystem::create_directories(folder / "runtime");
  session_ = std::make_unique<ChildProcess>(
      "/usr/bin/dbus-daemon", std::vector<std::string>{"--session", "--nofork", "--nopidfile", "--address=" + address_},
      std::map<std::string, std::string>{}, (folder / "session_bus.log").string());
  if (!WaitFor([&] { return std::filesystem::exists(folder / "session_bus"); }, 10s)) return;
  // The accessibility bus lives in the runtime folder, which is ours alone.
  std::map<std::string, std::string> launcherEnvironment = Environment();
  launcherEnvironment["XDG_RUNTIME_DIR"] = (folder / "runtime").string();
  launcher_ = std::make_unique<ChildProcess>(
      "/usr/libexec/at-spi-bus-launcher", std::vector<std::string>{"--launch-immediately", "--a11y=1", "--screen-reader=1"},
      launcherEnvironment, (folder / "launcher.log").string());
  const std::string runtime = (folder / "runtime").string();
  ready_ = WaitFor([&] { return Command("xprop -root AT_SPI_BUS 2>/dev/null").find(runtime) != std::string::npos; }, 20s);
}

AccessibilityBus::~AccessibilityBus() {
  // The launcher takes its bus and the registry down with it.
  for (ChildProcess* process : {launcher_.get(), session_.get()}) {
    if (process == nullptr) continue;
    process->Signal(SIGTERM);
    process->WaitForExit(10s);
  }
  // Should the launcher have died, its address must not lead later programs astray.
  Command("xprop -root -remove AT_SPI_BUS 2>/dev/null");
}

std::map<std::string, std::string> AccessibilityBus::Environment() const {
  return {{"DBUS_SESSION_BUS_ADDRESS", address_}};
}

std::string AccessibilityBus::Logs() const {
  return (session_ ? session_->Log() : std::string()) + (launcher_ ? launcher_->Log() : std::string());
}

}  // namespace tarvo::e2e
