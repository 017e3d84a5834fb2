#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "net/form_body.h"
#include "net/http_post_form.h"
#include "net/service_reply.h"
#include "support/temp_dir.h"

namespace tarvo::service::test {
namespace {

// tarvo-service as a child process, its standard output read through a pipe.
class ChildService {
 public:
  explicit ChildService(std::vector<std::string> arguments) {
    const std::string program = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "tarvo-service";
    int pipeFds[2];
    if (pipe(pipeFds) != 0) {
      return;
    }
    pid_ = fork();
    if (pid_ == 0) {
      dup2(pipeFds[1], STDOUT_FILENO);
      dup2(pipeFds[1], STDERR_FILENO);
      close(pipeFds[0]);
      std::vector<char*> argv{const_cast<char*>(program.c_str())};
      for (std::string& argument : arguments) {
        argv.push_back(argument.data());
      }
      argv.push_back(nullptr);
      execv(program.c_str(), argv.data());
      _exit(127);
    }
    close(pipeFds[1]);
    output_ = pipeFds[0];
  }

  ~ChildService() {
    if (pid_ > 0 && exitStatus_ < 0) {
      kill(pid_, SIGKILL);
      Wait();
    }
    if (output_ >= 0) {
      close(output_);
    }
  }

  // Reads output until it contains `text` (true) or 20 s pass or the child ends.
  bool WaitForOutput(const std::string& text) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (text_.find(text) == std::string::npos) {
      pollfd waiting{output_, POLLIN, 0};
      if (std::chrono::steady_clock::now() > deadline || poll(&waiting, 1, 200) < 0) {
        return false;
      }
      if (waiting.revents != 0) {
        char buffer[4096];
        const ssize_t count = read(output_, buffer, sizeof(buffer));
        if (count <= 0) {
          return text_.find(text) != std::string::npos;
        }
        text_.append(buffer, static_cast<size_t>(count));
      }
    }
    return true;
  }

  // The base address from the "listening on" line.
  std::string BaseUrl() {
    if (!WaitForOutput("/\n")) {
      return std::string();
    }
    const size_t start = text_.find("http://");
    return start == std::string::npos ? std::string() : text_.substr(start, text_.find('\n', start) - start);
  }

  void Signal(int signal) { kill(pid_, signal); }

  // Exit code, or 128 + signal number.
  int Wait() {
    int status = 0;
    waitpid(pid_, &status, 0);
    exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return exitStatus_;
  }

  const std::string& text() const { return text_; }

 private:
  pid_t pid_ = -1;
  int output_ = -1;
  int exitStatus_ = -1;
  std::string text_;
};

ServiceReply Call(const std::string& baseUrl, const std::string& path, const FormBody& body) {
  std::string text;
  EXPECT_EQ(HttpPostForm(text, Utf8ToWide(baseUrl + path), body.Wide()), 0);
  return ServiceReply::Parse(text).value_or(ServiceReply());
}

std::string DemoSeed() { return std::string(std::getenv("TARVO_SOURCE_DIR")) + "/service/seed/demo.json"; }

TEST(ServiceProcess, HelpAndBadArguments) {
  ChildService help({"--help"});
  EXPECT_EQ(help.Wait(), 0);
  EXPECT_TRUE(help.WaitForOutput("--proxy-ports"));

  ChildService unknown({"--colour", "red"});
  EXPECT_EQ(unknown.Wait(), 2);
  EXPECT_TRUE(unknown.WaitForOutput("unknown option --colour"));

  ChildService badPort({"--port", "70000"});
  EXPECT_EQ(badPort.Wait(), 2);
}

TEST(ServiceProcess, StartFailuresAreReported) {
  tarvo::test::TempDir dir;
  ChildService missingSeed({"--port", "0", "--data", (dir.path() / "s.db").string(), "--seed", "/nonexistent.json"});
  EXPECT_EQ(missingSeed.Wait(), 1);
  EXPECT_TRUE(missingSeed.WaitForOutput("cannot read the seed file /nonexistent.json"));

  dir.WriteFile("not-a-db", "this is not a database file, just text that is long enough to be checked");
  ChildService badData({"--port", "0", "--data", (dir.path() / "not-a-db").string()});
  EXPECT_EQ(badData.Wait(), 1);
}

TEST(ServiceProcess, NothingCommittedIsLostWhenKilled) {
  tarvo::test::TempDir dir;
  const std::string data = (dir.path() / "data" / "service.db").string();
  std::string token;
  {
    ChildService service({"--port", "0", "--data", data, "--seed", DemoSeed(), "--password-iterations", "1000"});
    const std::string base = service.BaseUrl();
    ASSERT_FALSE(base.empty()) << service.text();
    ASSERT_EQ(Call(base, "app/v1.0/register",
                   FormBody().Add("username", "kill@tarvo.test").Add("password", "pw").Add("brand", "TarvoBrowser"))
                  .code(),
              200);
    const ServiceReply login =
        Call(base, "app/v1.0/login", FormBody().Add("username", "kill@tarvo.test").Add("password", "pw"));
    token = ServiceReply::ReadString(login.data(), "token");
    ASSERT_EQ(Call(base, "app/v1.0/add_fav_item",
                   FormBody().Add("token", token).Add("brand", "TarvoBrowser").Add(
                       "data", R"({"type":"url","name":"kept","url":"http://kept.tarvo.test/"})"))
                  .code(),
              200);
    EXPECT_TRUE(service.WaitForOutput("POST /app/v1.0/add_fav_item 200 code=200"));
    service.Signal(SIGKILL);
    EXPECT_EQ(service.Wait(), 128 + SIGKILL);
  }
  ChildService restarted({"--port", "0", "--data", data});
  const std::string base = restarted.BaseUrl();
  ASSERT_FALSE(base.empty()) << restarted.text();
  const ServiceReply favorites =
      Call(base, "app/v1.0/list_user_fav", FormBody().Add("token", token).Add("brand", "TarvoBrowser"));
  ASSERT_EQ(favorites.code(), 200) << "the token survived the restart";
  const Json::Value& document = favorites.data()["favor"];
  EXPECT_EQ(document[document.size() - 1]["name"].asString(), "kept");
  restarted.Signal(SIGTERM);
  EXPECT_EQ(restarted.Wait(), 0);
}

}  // namespace
}  // namespace tarvo::service::test
