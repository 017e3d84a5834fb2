// Process start of the Chromium layer: sub-process command lines, the application's
// switches and the switches handed to the engine.
#include <map>
#include <thread>

#include "engines/webengine/cef_task.h"
#include "engines/webengine/cef_entry_points.h"
#include "engines/webengine/display_compositing.h"
#include "engines/webengine/engine_context.h"
#include "engines/webengine/web_app.h"
#include "engines/cef_fixture.h"

namespace tarvo::test {
namespace {

class SwitchRecorder : public WebApp {
 public:
  void OnBeforeCommandLineProcessing(const std::string& process_type, CefCommandLine& command_line) override {
    types.push_back(process_type);
    WebApp::OnBeforeCommandLineProcessing(process_type, command_line);
  }
  std::vector<std::string> types;
};

TEST(CefProcessTest, SubProcessCommandLinesStopAtOnceWithTheSameSwitches) {
  auto app = std::make_shared<SwitchRecorder>();
  for (const char* type : {"--type=renderer", "--type=gpu-process", "--type=ppapi"}) {
    const char* argv[] = {"tarvo-browser", type, "--lang=zh-CN"};
    EXPECT_EQ(CefExecuteProcess(CefMainArgs{3, const_cast<char**>(argv)}, app, nullptr), 0) << type;
  }
  EXPECT_EQ(app->types, (std::vector<std::string>{"renderer", "gpu-process", "ppapi"}));

  // The browser process itself carries on.
  const char* argv[] = {"tarvo-browser", "-url", "http://127.0.0.1/"};
  EXPECT_EQ(CefExecuteProcess(CefMainArgs{3, const_cast<char**>(argv)}, app, nullptr), -1);
  EXPECT_EQ(app->types.size(), 3U);
}

TEST(CefProcessTest, PagesAreDrawnInSoftwareOnlyWithoutAGpuAndWithoutTheUsersOwnChoice) {
  struct Row {
    std::map<std::string, std::string> environment;
    bool gpuDevice;
    bool software;
  };
  const std::vector<Row> rows = {
      {{}, false, true},
      {{}, true, false},
      {{{"QT_QPA_PLATFORM", "xcb"}}, false, true},
      {{{"QT_QPA_PLATFORM", "wayland"}}, false, false},
      {{{"QT_QUICK_BACKEND", ""}}, false, false},
      {{{"QMLSCENE_DEVICE", "softwarecontext"}}, false, false},
      {{{"QT_XCB_GL_INTEGRATION", "xcb_egl"}}, false, false},
      {{{"LIBGL_ALWAYS_SOFTWARE", "1"}}, true, true},
      {{{"LIBGL_ALWAYS_SOFTWARE", "0"}}, true, false},
  };
  for (const Row& row : rows) {
    const auto lookup = [&row](const char* name) -> const char* {
      const auto found = row.environment.find(name);
      return found == row.environment.end() ? nullptr : found->second.c_str();
    };
    EXPECT_EQ(DisplayCompositing::PrefersSoftware(lookup, row.gpuDevice), row.software)
        << (row.environment.empty() ? std::string("(nothing set)") : row.environment.begin()->first)
        << " gpu=" << row.gpuDevice;
  }
  // Whatever was chosen at start, programs the browser starts later get the
  // user's own environment.
  EXPECT_NE(qgetenv("QT_XCB_GL_INTEGRATION"), QByteArray("none"));
}

class CountingTask : public CefTask {
 public:
  void Execute() override { ++runs; }
  int runs = 0;
};

TEST(CefProcessTest, TasksPostedFromOtherThreadsRunOnTheEngineThread) {
  auto task = std::make_shared<CountingTask>();
  bool posted = false;
  std::thread worker([&] { posted = CefPostTask(TID_UI, task); });
  worker.join();
  EXPECT_TRUE(posted);
  EXPECT_EQ(task->runs, 0) << "a posted task runs later, from the event loop";
  EXPECT_TRUE(QTest::qWaitFor([&] { return task->runs == 1; }, 5000));
  EXPECT_FALSE(CefPostTask(TID_UI, nullptr));
}

}  // namespace
}  // namespace tarvo::test
