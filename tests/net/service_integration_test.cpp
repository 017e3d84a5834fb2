// The service client against the reference service, started as a process on a free
// loopback port with the shared seed.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "net/http_post_form.h"
#include "support/temp_dir.h"

namespace tarvo::test {
namespace {

// Runs bin/tarvo-service for the life of the object and learns its base address from
// the first line it prints.
class ServiceProcess {
 public:
  ServiceProcess(const std::string& program, const std::string& seed, const std::string& database) {
    int output[2];
    if (pipe(output) != 0) {
      return;
    }
    pid_ = fork();
    if (pid_ == 0) {
      dup2(output[1], STDOUT_FILENO);
      close(output[0]);
      close(output[1]);
      execl(program.c_str(), program.c_str(), "--port", "0", "--seed", seed.c_str(), "--data", database.c_str(),
            "--password-iterations", "1000", "--quiet", static_cast<char*>(nullptr));
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
    }
  }
  ~ServiceProcess() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
    if (stream_ != nullptr) {
      std::fclose(stream_);
    }
  }
  ServiceProcess(const ServiceProcess&) = delete;
  ServiceProcess& operator=(const ServiceProcess&) = delete;

  const std::string& baseUrl() const { return baseUrl_; }

 private:
  pid_t pid_ = -1;
  FILE* stream_ = nullptr;
  std::string baseUrl_;
};

TEST(ServiceIntegrationTest, LoginWithReservedCharactersAndVersionCheck) {
  const std::filesystem::path program = std::filesystem::current_path() / "tarvo-service";
  if (!std::filesystem::exists(program)) {
    GTEST_SKIP() << "tarvo-service is not built";
  }
  TempDir temp;
  const std::string seed = std::string(std::getenv("TARVO_TEST_DATA")) + "/service/seed.json";
  ServiceProcess service(program.string(), seed, (temp.path() / "service.db").string());
  ASSERT_FALSE(service.baseUrl().empty());
  ASSERT_TRUE(service.baseUrl().starts_with("http://127.0.0.1:"));
  std::string base = service.baseUrl();
  if (!base.ends_with("/")) {
    base += "/";
  }
  SettingsRegistry::Instance().Set(SettingsKeys::kApiUrl, Utf8ToWide(base));

  // The seeded password holds "&" and "=", which only a properly encoded form keeps.
  ServiceReply login;
  ASSERT_EQ(CallService(u"app/v1.0/login",
                        FormBody().Add("username", u"alice@tarvo.test").Add("password", u"alice&pass=1").Add("type", "PC"),
                        login),
            0);
  EXPECT_EQ(login.code(), 200) << login.message();
  EXPECT_GT(ServiceReply::ReadInt(login.data(), "id"), 0);
  EXPECT_FALSE(ServiceReply::ReadString(login.data(), "token").empty());

  ServiceReply wrong;
  ASSERT_EQ(CallService(u"app/v1.0/login",
                        FormBody().Add("username", u"alice@tarvo.test").Add("password", u"alice").Add("type", "PC"),
                        wrong),
            0);
  EXPECT_NE(wrong.code(), 200);

  ServiceReply version;
  ASSERT_EQ(CallService(u"app/v1.0/version", FormBody().Add("brand", u"TestBrand").Add("type", "PC"), version), 0);
  EXPECT_EQ(version.code(), 200);
  EXPECT_EQ(ServiceReply::ReadString(version.data(), "version"), "5.5.9.0");
  SettingsRegistry::Instance().ClearForTesting();
}

}  // namespace
}  // namespace tarvo::test
