#include "support/private_keyring.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>
#include <vector>

namespace tarvo::test {

namespace {

using namespace std::chrono_literals;

// A bus like the desktop's session bus, without the folders of services it would
// start by name: only what the test starts answers on it.
constexpr char kBusConfig[] = R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:tmpdir=/tmp</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)";

// Starts `argv` with `environment` added, its standard input from `input` (read end)
// when given, its output into `output` when given, else into `log`.
pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& environment, int input, int output,
            const std::string& log) {
  const pid_t pid = fork();
  if (pid != 0) return pid;
  for (const std::string& entry : environment) putenv(const_cast<char*>(entry.c_str()));
  if (input >= 0) dup2(input, STDIN_FILENO);
  const int logFile = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
  dup2(output >= 0 ? output : logFile, STDOUT_FILENO);
  dup2(logFile, STDERR_FILENO);
  // Nothing else of the test's: the keyring reads its password until the pipe's
  // writer (the test) closes it.
  for (int fd = STDERR_FILENO + 1; fd < 1024; ++fd) close(fd);
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  execvp(args[0], args.data());
  _exit(127);
}

void Stop(pid_t pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  for (int i = 0; i < 100; ++i) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) return;
    std::this_thread::sleep_for(20ms);
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
}

}  // namespace

PrivateKeyring::PrivateKeyring(bool withKeyring) {
  const std::string config = dir_.WriteFile("bus.conf", kBusConfig).string();
  const std::string log = (dir_.path() / "daemons.log").string();
  int addressPipe[2];
  if (pipe(addressPipe) != 0) return;
  bus_ = Spawn({"dbus-daemon", "--config-file=" + config, "--nofork", "--print-address=1"}, {}, -1, addressPipe[1],
               log);
  close(addressPipe[1]);
  char buffer[512] = {};
  const ssize_t read = ::read(addressPipe[0], buffer, sizeof(buffer) - 1);
  close(addressPipe[0]);
  if (read <= 0) return;
  address_ = std::string(buffer, static_cast<size_t>(read));
  while (!address_.empty() && (address_.back() == '\n' || address_.back() == '\r')) address_.pop_back();
  if (!withKeyring) {
    running_ = true;
    return;
  }
  // The login keyring is made and unlocked with the password on standard input.
  int passwordPipe[2];
  if (pipe(passwordPipe) != 0) return;
  const std::string home = dir_.path().string();
  keyring_ = Spawn({"gnome-keyring-daemon", "--foreground", "--unlock", "--components=secrets"},
                   {"DBUS_SESSION_BUS_ADDRESS=" + address_, "HOME=" + home, "XDG_DATA_HOME=" + home + "/data",
                    "XDG_RUNTIME_DIR=" + home, "XDG_CONFIG_HOME=" + home + "/config"},
                   passwordPipe[0], -1, log);
  close(passwordPipe[0]);
  const char password[] = "test keyring";
  if (write(passwordPipe[1], password, sizeof(password) - 1) < 0) {
    close(passwordPipe[1]);
    return;
  }
  close(passwordPipe[1]);
  // Ready once it owns the Secret Service's name on the bus.
  const std::string ask = "dbus-send --bus='" + address_ +
                          "' --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus "
                          "org.freedesktop.DBus.NameHasOwner string:org.freedesktop.secrets 2>/dev/null | "
                          "grep -q 'boolean true'";
  for (int i = 0; i < 200 && !(running_ = std::system(ask.c_str()) == 0); ++i) std::this_thread::sleep_for(50ms);
}

PrivateKeyring::~PrivateKeyring() {
  Stop(keyring_);
  Stop(bus_);
}

}  // namespace tarvo::test
