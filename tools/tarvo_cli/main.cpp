// tarvo-cli: the browser's own network, cipher, URL and profile code on the command
// line, for operators (authoring domain lists), for diagnosing a profile and for
// moving bookmarks in and out of one.
#include <iostream>

#include "cli_command.h"

namespace tarvo::cli {

int UsageError(CliStreams& io, const std::string& command, const std::string& problem) {
  io.err << "tarvo-cli " << command << ": " << problem << "\n(see: tarvo-cli " << command << " --help)\n";
  return kExitUsage;
}

namespace {

std::vector<CliCommand> AllCommands() {
  std::vector<CliCommand> all;
  for (auto group :
       {CipherCommands, HttpCommands, PingCommands, UrlCommands, ProfileCommands, QrCommands, BookmarkCommands,
        KeyCommands}) {
    for (CliCommand& command : group()) {
      all.push_back(std::move(command));
    }
  }
  return all;
}

void PrintOverview(std::ostream& out, const std::vector<CliCommand>& commands) {
  out << "usage: tarvo-cli COMMAND [ARGS...]\n\ncommands:\n";
  for (const CliCommand& command : commands) {
    out << "  " << command.name << std::string(command.name.size() < 16 ? 16 - command.name.size() : 1, ' ')
        << command.summary << "\n";
  }
  out << "\n'tarvo-cli COMMAND --help' describes one command.\n"
         "Exit codes: 0 success, 1 the operation failed, 2 bad arguments.\n";
}

}  // namespace

}  // namespace tarvo::cli

int main(int argc, char** argv) {
  using namespace tarvo::cli;
  CliStreams io{std::cout, std::cerr};
  const std::vector<CliCommand> commands = AllCommands();
  if (argc < 2) {
    PrintOverview(std::cerr, commands);
    return kExitUsage;
  }
  const std::string name = argv[1];
  if (name == "--help" || name == "-h" || name == "help") {
    PrintOverview(std::cout, commands);
    return kExitOk;
  }
  for (const CliCommand& command : commands) {
    if (command.name != name) {
      continue;
    }
    const std::vector<std::string> args(argv + 2, argv + argc);
    for (const std::string& arg : args) {
      if (arg == "--help" || arg == "-h") {
        std::cout << command.help;
        return kExitOk;
      }
    }
    return command.run(args, io);
  }
  std::cerr << "tarvo-cli: unknown command '" << name << "'\n";
  PrintOverview(std::cerr, commands);
  return kExitUsage;
}
