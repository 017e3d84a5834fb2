#include "e2e/accessibility_bus.h"

#include <signal.h>

#include <chrono>

#include "e2e/display.h"

namespace tarvo::e2e {

AccessibilityBus::AccessibilityBus(const std::filesystem::path& folder) {
  using namespace std::chrono_literals;
  if (!session_.running()) return;
  // The accessibility bus lives in the runtime folder, which is ours alone.
  const std::string runtime = (folder / "runtime").string();
  std::filesystem::create_directories(runtime);
  std::map<std::string, std::string> launcherEnvironment = Environment();
  launcherEnvironment["XDG_RUNTIME_DIR"] = runtime;
  launcher_ = std::make_unique<ChildProcess>(
      "/usr/libexec/at-spi-bus-launcher", std::vector<std::string>{"--launch-immediately", "--a11y=1", "--screen-reader=1"},
      launcherEnvironment, (folder / "launcher.log").string());
  ready_ = WaitFor([&] { return Command("xprop -root AT_SPI_BUS 2>/dev/null").find(runtime) != std::string::npos; }, 20s);
}

AccessibilityBus::~AccessibilityBus() {
  // The launcher takes its bus and the registry down with it, before the session bus goes.
  if (launcher_) {
    launcher_->Signal(SIGTERM);
    launcher_->WaitForExit(std::chrono::seconds(10));
  }
  // Should the launcher have died, its address must not lead later programs astray.
  Command("xprop -root -remove AT_SPI_BUS 2>/dev/null");
}

}  // namespace tarvo::e2e
