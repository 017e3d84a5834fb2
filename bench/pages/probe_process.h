#pragma once

#include <sys/types.h>

#include <cstdio>
#include <string>
#include <vector>

// A probe program run by a benchmark: started with arguments, its standard output
// read line by line, ended with SIGTERM when the object goes.
// Threads: the benchmark's thread. Lifetime: owns the child process and the pipe.
class ProbeProcess {
 public:
  // Starts `program` (a path) with `arguments`; running() tells whether it started.
  ProbeProcess(const std::string& program, const std::vector<std::string>& arguments);
  ~ProbeProcess();
  ProbeProcess(const ProbeProcess&) = delete;
  ProbeProcess& operator=(const ProbeProcess&) = delete;

  bool running() const { return pid_ > 0 && output_ != nullptr; }
  pid_t pid() const { return pid_; }
  // The next line without its line end; false at the end of the output.
  bool ReadLine(std::string* line);

 private:
  pid_t pid_ = -1;
  std::FILE* output_ = nullptr;  // owned: the read end of the child's stdout
};
