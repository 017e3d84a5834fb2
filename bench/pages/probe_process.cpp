#include "bench/pages/probe_process.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

ProbeProcess::ProbeProcess(const std::string& program, const std::vector<std::string>& arguments) {
  int out[2];
  if (pipe(out) != 0) return;
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  pid_ = fork();
  if (pid_ == 0) {
    dup2(out[1], STDOUT_FILENO);
    close(out[0]);
    close(out[1]);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  close(out[1]);
  if (pid_ < 0) {
    close(out[0]);
    return;
  }
  output_ = fdopen(out[0], "r");
}

ProbeProcess::~ProbeProcess() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
  if (output_ != nullptr) std::fclose(output_);
}

bool ProbeProcess::ReadLine(std::string* line) {
  if (output_ == nullptr) return false;
  char buffer[512];
  if (std::fgets(buffer, sizeof buffer, output_) == nullptr) return false;
  *line = buffer;
  while (!line->empty() && (line->back() == '\n' || line->back() == '\r')) line->pop_back();
  return true;
}
