#include "platform/program_launcher.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace tarvo {

int LaunchDetached(const std::string& program, const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& argument : arguments) {
    argv.push_back(const_cast<char*>(argument.c_str()));
  }
  argv.push_back(nullptr);

  // The grandchild reports a failed exec through this pipe; a successful exec closes
  // it (close-on-exec), so the parent reads end-of-file.
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) {
    return -1;
  }
  const pid_t child = fork();
  if (child < 0) {
    close(report[0]);
    close(report[1]);
    return -1;
  }
  if (child == 0) {
    close(report[0]);
    setsid();
    const pid_t grandchild = fork();
    if (grandchild == 0) {
      execv(program.c_str(), argv.data());
      const int code = errno;
      (void)!write(report[1], &code, sizeof code);
      _exit(127);
    }
    _exit(grandchild < 0 ? 1 : 0);
  }
  close(report[1]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  int execError = 0;
  ssize_t got = 0;
  do {
    got = read(report[0], &execError, sizeof execError);
  } while (got < 0 && errno == EINTR);
  close(report[0]);
  const bool forked = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return forked && got == 0 ? 0 : -1;
}

}  // namespace tarvo
