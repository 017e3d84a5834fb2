#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "net/form_body.h"
#include "net/http_post_form.h"
#include "net/service_reply.h"
#include "support/mounted_folder.h"
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

// The reply to a call that may fail (no expectations on the way).
ServiceReply TryCall(const std::string& baseUrl, const std::string& path, const FormBody& body) {
  std::string text;
  if (HttpPostForm(text, Utf8ToWide(baseUrl + path), body.Wide()) != 0) {
    return ServiceReply();
  }
  return ServiceReply::Parse(text).value_or(ServiceReply());
}

// Registers and logs in `username`; returns the token.
std::string NewUserToken(const std::string& base, const std::string& username) {
  EXPECT_EQ(Call(base, "app/v1.0/register",
                 FormBody().Add("username", username).Add("password", "pw").Add("brand", "TarvoBrowser"))
                .code(),
            200);
  return ServiceReply::ReadString(
      Call(base, "app/v1.0/login", FormBody().Add("username", username).Add("password", "pw")).data(), "token");
}

int AddFavorite(const std::string& base, const std::string& token, const std::string& name) {
  const std::string item = R"({"type":"url","name":")" + name + R"(","url":"http://kept.tarvo.test/"})";
  return static_cast<int>(
      TryCall(base, "app/v1.0/add_fav_item", FormBody().Add("token", token).Add("brand", "TarvoBrowser").Add("data", item))
          .code());
}

std::set<std::string> FavoriteNames(const std::string& base, const std::string& token) {
  const ServiceReply reply = Call(base, "app/v1.0/list_user_fav", FormBody().Add("token", token).Add("brand", "TarvoBrowser"));
  EXPECT_EQ(reply.code(), 200);
  std::set<std::string> names;
  for (const Json::Value& item : reply.data()["favor"]) {
    names.insert(item["name"].asString());
  }
  return names;
}

// Overwrites the first page of `table`'s storage with bytes that are no page at all.
void DamageTable(const std::string& path, const std::string& table) {
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  sqlite3_stmt* query = nullptr;
  sqlite3_prepare_v2(db, ("SELECT rootpage FROM sqlite_master WHERE name='" + table + "'").c_str(), -1, &query,
                     nullptr);
  const int page = sqlite3_step(query) == SQLITE_ROW ? sqlite3_column_int(query, 0) : 0;
  sqlite3_finalize(query);
  sqlite3_close(db);
  ASSERT_GT(page, 1);
  std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
  file.seekp(static_cast<std::streamoff>(page - 1) * 4096);
  file << std::string(4096, '\xee');
}

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
  EXPECT_TRUE(badData.WaitForOutput("not-a-db is damaged (file is not a database)")) << badData.text();

  // One damaged page, which only a request for its rows would otherwise meet.
  const std::string data = (dir.path() / "service.db").string();
  {
    ChildService seeded({"--port", "0", "--data", data, "--seed", DemoSeed(), "--password-iterations", "1000"});
    ASSERT_FALSE(seeded.BaseUrl().empty()) << seeded.text();
    seeded.Signal(SIGTERM);
    EXPECT_EQ(seeded.Wait(), 0);
  }
  DamageTable(data, "sites");
  ChildService damaged({"--port", "0", "--data", data});
  const bool refused = damaged.WaitForOutput("move it aside");
  if (!refused) {
    damaged.Signal(SIGKILL);
  }
  EXPECT_EQ(damaged.Wait(), 1);
  EXPECT_TRUE(refused && damaged.text().find("service.db is damaged (") != std::string::npos) << damaged.text();
}

TEST(ServiceProcess, NoAcknowledgedWriteIsLostWhenKilledInABurst) {
  tarvo::test::TempDir dir;
  const std::string data = (dir.path() / "data" / "service.db").string();
  std::string token;
  std::vector<std::string> acknowledged;
  {
    ChildService service({"--port", "0", "--data", data, "--seed", DemoSeed(), "--password-iterations", "1000"});
    const std::string base = service.BaseUrl();
    ASSERT_FALSE(base.empty()) << service.text();
    token = NewUserToken(base, "kill@tarvo.test");
    std::mutex mutex;
    std::atomic<bool> killed{false};
    std::vector<std::thread> writers;
    for (int writer = 0; writer < 4; ++writer) {
      writers.emplace_back([&, writer] {
        for (int i = 0; !killed && i < 1000; ++i) {
          const std::string name = "w" + std::to_string(writer) + "-" + std::to_string(i);
          if (AddFavorite(base, token, name) == 200) {
            std::lock_guard lock(mutex);
            acknowledged.push_back(name);
          }
        }
      });
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      std::lock_guard lock(mutex);
      if (acknowledged.size() >= 60) {
        break;
      }
    }
    service.Signal(SIGKILL);  // with the writers still sending
    killed = true;
    EXPECT_EQ(service.Wait(), 128 + SIGKILL);
    for (std::thread& writer : writers) {
      writer.join();
    }
  }
  ASSERT_GE(acknowledged.size(), 60u);
  ChildService restarted({"--port", "0", "--data", data});
  const std::string base = restarted.BaseUrl();
  ASSERT_FALSE(base.empty()) << restarted.text();
  const std::set<std::string> kept = FavoriteNames(base, token);  // the token survived the restart
  for (const std::string& name : acknowledged) {
    EXPECT_EQ(kept.count(name), 1u) << name;
  }
  restarted.Signal(SIGTERM);
  EXPECT_EQ(restarted.Wait(), 0);
}

TEST(ServiceProcess, AFullDiskFailsWritesClearlyUntilThereIsRoomAgain) {
  tarvo::test::TempDir dir;
  const std::filesystem::path disk = dir.path() / "disk";
  const auto mounted = tarvo::test::MountedFolder::SmallDisk(disk, 4);
  if (!mounted) GTEST_SKIP() << "a small disk needs mounting a tmpfs, which only root may do";
  {
    ChildService service({"--port", "0", "--data", (disk / "service.db").string(), "--seed", DemoSeed(),
                          "--password-iterations", "1000"});
    const std::string base = service.BaseUrl();
    ASSERT_FALSE(base.empty()) << service.text();
    const std::string token = NewUserToken(base, "full@tarvo.test");
    EXPECT_EQ(AddFavorite(base, token, "before"), 200);

    mounted->FillUp();
    const ServiceReply refused = TryCall(base, "app/v1.0/add_fav_item",
                                         FormBody().Add("token", token).Add("brand", "TarvoBrowser").Add(
                                             "data", R"({"type":"url","name":"during","url":"http://x.tarvo.test/"})"));
    EXPECT_EQ(refused.code(), 500);
    EXPECT_NE(refused.message().find("nothing was changed"), std::string::npos) << refused.message();
    EXPECT_EQ(FavoriteNames(base, token).count("before"), 1u) << "reading goes on while the disk is full";

    mounted->MakeRoom();
    EXPECT_EQ(AddFavorite(base, token, "after"), 200);
    const std::set<std::string> kept = FavoriteNames(base, token);
    EXPECT_EQ(kept.count("before") + kept.count("after"), 2u);
    EXPECT_EQ(kept.count("during"), 0u);
    service.Signal(SIGTERM);
    EXPECT_EQ(service.Wait(), 0);
  }
}

}  // namespace
}  // namespace tarvo::service::test
