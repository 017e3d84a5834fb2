#include "support/service_process.h"

#include <filesystem>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "settings/settings_keys.h"
#include "settings/settings_registry.h"

namespace tarvo::test {

ServiceProcess::ServiceProcess(const std::string& program, const std::string& seed, const std::string& database,
                               const std::vector<std::string>& extraArguments, Transport transport) {
  credentials_ = std::make_unique<TestCredentials>(database + ".trust");
  int output[2];
  if (pipe(output) != 0) return;
  std::vector<std::string> arguments = {program,  "--port", "0",       "--seed",
                                        seed,     "--data", database,  "--password-iterations",
                                        "1000",   "--quiet"};
  std::vector<std::string> trust = credentials_->ServiceArguments();
  if (transport == Transport::kPlainHttp) {
    trust = {"--plain-http", "--signing-key", credentials_->signingKey()};
  }
  arguments.insert(arguments.end(), trust.begin(), trust.end());
  arguments.insert(arguments.end(), extraArguments.begin(), extraArguments.end());
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  pid_ = fork();
  if (pid_ == 0) {
    dup2(output[1], STDOUT_FILENO);
    close(output[0]);
    close(output[1]);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  close(output[1]);
  stream_ = fdopen(output[0], "r");
  char line[512] = {};
  const std::string prefix = "tarvo-service listening on ";
  if (stream_ != nullptr && std::fgets(line, sizeof(line), stream_) != nullptr &&
      std::string(line).starts_with(prefix)) {
    baseUrl_ = std::string(line).substr(prefix.size());
    baseUrl_.erase(baseUrl_.find_last_not_of("\r\n") + 1);
    if (!baseUrl_.ends_with("/")) baseUrl_ += "/";
  }
}

ServiceProcess::~ServiceProcess() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
  if (stream_ != nullptr) std::fclose(stream_);
}

void ServiceProcess::UseInThisProcess() const {
  SettingsRegistry::Instance().Set(SettingsKeys::kApiUrl, Utf8ToWide(baseUrl_));
  credentials_->TrustInThisProcess();
}

std::string ServiceProcess::Program() {
  const std::filesystem::path program = std::filesystem::current_path() / "tarvo-service";
  return std::filesystem::exists(program) ? program.string() : std::string();
}

}  // namespace tarvo::test
