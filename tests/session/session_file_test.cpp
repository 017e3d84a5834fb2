#include "session/session_file.h"

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "session/session_start.h"
#include "support/temp_dir.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using Status = SessionFile::Status;
using Choice = SessionStart::Choice;

SessionState TwoWindows() {
  SessionState state;
  state.windows.push_back({{{"http://a.test/?q=\"x\"", 1, true, 0}, {"http://例子.测试/", 2, false, 1.5, "标题 \"x\""}}, 1});
  state.windows.push_back({{{"file:///tmp/c.html", 1, false}}, 0});
  return state;
}

TEST(SessionFileTest, WhatIsWrittenComesBackAndOddFieldsAreMadeSafe) {
  SessionState state = TwoWindows();
  state.restoreAttempts = 1;
  const SessionFile::ReadResult back = SessionFile::Parse(SessionFile::Serialize(state));
  ASSERT_EQ(back.status, Status::kOk);
  EXPECT_EQ(back.state, state);

  // Tabs without addresses and windows left without tabs go; a selection out of
  // range and an unknown engine fall back.
  const SessionFile::ReadResult odd = SessionFile::Parse(
      R"({"version":1,"clean":"yes","restoring":-3,"windows":[{"selected":7,"tabs":[{"url":""},{"url":"http://b.test/","engine":9,"pinned":1,"zoom":"big","title":7}]},{"tabs":[]},5]})");
  ASSERT_EQ(odd.status, Status::kOk);
  ASSERT_EQ(odd.state.windows.size(), 1u);
  EXPECT_EQ(odd.state.windows[0], (SavedWindow{{{"http://b.test/", 1, false}}, 0}));
  EXPECT_FALSE(odd.state.cleanExit);
  EXPECT_EQ(odd.state.restoreAttempts, 0);
}

TEST(SessionFileTest, BadFilesAreToldApartAndSetAside) {
  const struct {
    const char* text;
    Status status;
  } cases[] = {
      {"", Status::kEmpty},
      {" \n\t", Status::kEmpty},
      {"not json", Status::kDamaged},
      {R"({"version":1,"windows":[{"tabs":[{"url":"http://a.test/"})", Status::kDamaged},  // cut off
      {"[1,2]", Status::kDamaged},
      {R"({"windows":[]})", Status::kDamaged},
      {R"({"version":"1","windows":[]})", Status::kDamaged},
      {R"({"version":0,"windows":[]})", Status::kDamaged},
      {R"({"version":1,"windows":{}})", Status::kDamaged},
      {R"({"version":1,"windows":[]} trailing)", Status::kDamaged},
      {"\xff\xfe\x00garbage", Status::kDamaged},
      {R"({"version":2,"windows":[],"tabsets":{}})", Status::kFutureVersion},
      {R"({"version":99})", Status::kFutureVersion},
  };
  for (const auto& c : cases) {
    const SessionFile::ReadResult read = SessionFile::Parse(c.text);
    EXPECT_EQ(read.status, c.status) << c.text;
    EXPECT_TRUE(SessionStart::MustSetAside(read.status)) << c.text;
    EXPECT_EQ(SessionStart::Decide(read, true), Choice::kHomePage) << c.text;
  }
  EXPECT_FALSE(SessionStart::MustSetAside(Status::kOk));
  EXPECT_FALSE(SessionStart::MustSetAside(Status::kMissing));

  test::TempDir dir;
  const SessionFile file((dir.path() / "session.json").string());
  EXPECT_EQ(file.Read().status, Status::kMissing);
  std::ofstream(file.Path()) << "{\"version\":1,";
  EXPECT_EQ(file.Read().status, Status::kDamaged);
  ASSERT_TRUE(file.SetAside());
  EXPECT_FALSE(fs::exists(file.Path()));
  EXPECT_TRUE(fs::exists(file.Path() + ".bad"));
  ASSERT_TRUE(file.Write(TwoWindows()));
  EXPECT_EQ(file.Read().state, TwoWindows());
  // Nothing but the file itself is left beside it (no temporary).
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
  EXPECT_FALSE(SessionFile((dir.path() / "missing" / "session.json").string()).Write(TwoWindows()));
}

TEST(SessionStartTest, RestoreAskOrHomePageAndTheCrashLoopGuard) {
  const auto read = [](bool clean, int attempts, bool anyTab = true) {
    SessionFile::ReadResult result;
    result.status = Status::kOk;
    if (anyTab) result.state = TwoWindows();
    result.state.cleanExit = clean;
    result.state.restoreAttempts = attempts;
    return result;
  };
  const struct {
    SessionFile::ReadResult read;
    bool chosen;
    Choice choice;
    const char* why;
  } cases[] = {
      {read(true, 0), false, Choice::kHomePage, "closed in order, restoring not chosen"},
      {read(true, 0), true, Choice::kRestore, "closed in order, restoring chosen"},
      {read(false, 0), false, Choice::kAskUser, "a crash is offered even when restoring is not chosen"},
      {read(false, 1), true, Choice::kAskUser, "one crashed restore: offered again"},
      {read(false, 2), true, Choice::kCrashLoop, "two crashed restores in a row"},
      {read(false, 0, false), true, Choice::kHomePage, "nothing to restore"},
      {SessionFile::ReadResult{}, true, Choice::kHomePage, "no file"},
  };
  for (const auto& c : cases) EXPECT_EQ(SessionStart::Decide(c.read, c.chosen), c.choice) << c.why;
}

}  // namespace
}  // namespace tarvo
