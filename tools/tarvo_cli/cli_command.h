#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace tarvo::cli {

// Exit codes of every command.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;  // the operation ran and failed (network, file, service)
constexpr int kExitUsage = 2;   // bad arguments

// Where a command writes: results to `out`, diagnostics to `err`.
struct CliStreams {
  std::ostream& out;
  std::ostream& err;
};

// One sub-command of tarvo-cli: its name, one line of summary, its full help and the
// function that runs it with the arguments after its name.
struct CliCommand {
  std::string name;
  std::string summary;
  std::string help;
  std::function<int(const std::vector<std::string>& args, CliStreams& io)> run;
};

// The command groups, each defined in its own file.
std::vector<CliCommand> CipherCommands();
std::vector<CliCommand> HttpCommands();
std::vector<CliCommand> PingCommands();
std::vector<CliCommand> UrlCommands();
std::vector<CliCommand> ProfileCommands();
std::vector<CliCommand> QrCommands();
std::vector<CliCommand> BookmarkCommands();
std::vector<CliCommand> KeyCommands();

// Reports a usage error for `command` and returns kExitUsage.
int UsageError(CliStreams& io, const std::string& command, const std::string& problem);

}  // namespace tarvo::cli
