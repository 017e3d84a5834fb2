// Opening a second main window until its page has loaded, against opening a tab in
// the same window, in one run of the whole browser (its own temporary data folders,
// a local file page, no service); and the memory the second window with its one tab
// adds to the browser's process tree. Run from build/bin under a display:
//   QTWEBENGINE_DISABLE_SANDBOX=1 ./windows_bench [rounds]
#include <stdlib.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/ckx_browser_app.h"
#include "bench/startup/process_tree_memory.h"
#include "bench/windows/bench_home.h"
#include "shell/commands/main_window_commands.h"
#include "shell/mainwnd/browser_windows.h"
#include "shell/mainwnd/main_dui_wnd.h"
#include "shell/pages/page.h"
#include "shell/pages/pages.h"

namespace {

namespace fs = std::filesystem;
using namespace tarvo;

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Alternates "new tab" and "new window" rounds, each until the page's own title
// arrived, and closes what it opened before the next round.
class Driver {
 public:
  Driver(const CKXBrowserApp& app, WString page, int rounds) : app_(app), page_(std::move(page)), rounds_(rounds) {
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start(5);
  }

 private:
  static bool Loaded(Pages& pages, int count) {
    return pages.Count() == count && pages.PageAt(count - 1)->GetTitle() == u"Bench";
  }
  void Poll() {
    BrowserWindows* group = app_.windows();
    MainDuiWnd* first = app_.main_window();
    if (group == nullptr || first == nullptr) return;
    switch (state_) {
      case State::kStarting:
        if (!Loaded(first->PageList(), 1)) return;
        Start(State::kTab);
        first->RunCommand(Commands::kOpenAllInTabs, CommandArgs{.urls = {page_}});
        return;
      case State::kTab:
        if (!Loaded(first->PageList(), 2)) return;
        tabMs_.push_back(clock_.nsecsElapsed() / 1e6);
        first->RunCommand(Commands::kCloseTab);
        pssBefore_ = ProcessTreeMemory::PssBytes(getpid());
        Start(State::kWindow);
        first->RunCommand(Commands::kOpenInNewWindow, CommandArgs{.text = page_});
        return;
      case State::kWindow: {
        if (group->Count() != 2) return;
        MainDuiWnd* second = nullptr;
        for (IBrowserWindow* window : group->Windows()) {
          if (window != first) second = static_cast<MainDuiWnd*>(window);
        }
        if (second == nullptr || !Loaded(second->PageList(), 1)) return;
        windowMs_.push_back(clock_.nsecsElapsed() / 1e6);
        QTimer::singleShot(1000, [this, second] {
          addedPss_.push_back(static_cast<double>(ProcessTreeMemory::PssBytes(getpid()) - pssBefore_) / (1 << 20));
          second->Close(0);
          state_ = State::kClosing;
        });
        state_ = State::kMeasuring;
        return;
      }
      case State::kMeasuring:
        return;
      case State::kClosing:
        if (group->Count() != 1 || first->PageList().Count() != 1) return;
        if (static_cast<int>(windowMs_.size()) < rounds_) {
          Start(State::kTab);
          first->RunCommand(Commands::kOpenAllInTabs, CommandArgs{.urls = {page_}});
          return;
        }
        timer_.stop();
        std::printf("rounds %d\nnew tab until loaded: median %.1f ms\nnew window until loaded: median %.1f ms "
                    "(%.2fx the tab)\nsecond window with one tab adds: median %.1f MiB PSS (process tree)\n",
                    rounds_, Median(tabMs_), Median(windowMs_), Median(windowMs_) / std::max(0.001, Median(tabMs_)),
                    Median(addedPss_));
        first->Close(0);
        return;
    }
  }
  enum class State { kStarting, kTab, kWindow, kMeasuring, kClosing };
  void Start(State state) {
    state_ = state;
    clock_.start();
  }

  const CKXBrowserApp& app_;
  const WString page_;
  const int rounds_;
  QTimer timer_;
  QElapsedTimer clock_;
  State state_ = State::kStarting;
  long long pssBefore_ = 0;
  std::vector<double> tabMs_, windowMs_, addedPss_;
};

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  const fs::path root = bench::MakeBenchHome("windows_bench");
  if (root.empty()) return 2;
  std::ofstream(root / "page.html") << "<title>Bench</title><p>A page of the windows benchmark.";
  const WString page = Utf8ToWide("file://" + (root / "page.html").string());

  std::vector<std::string> arguments = {"tarvo-browser", "-noupdate", WideToUtf8(page)};
  std::vector<char*> argv2;
  for (std::string& argument : arguments) argv2.push_back(argument.data());
  argv2.push_back(nullptr);
  int result = 0;
  {
    // The driver's timer needs the application before the run; the run uses it.
    int qtArgc = 1;
    QApplication application(qtArgc, argv2.data());
    CKXBrowserApp app(static_cast<int>(arguments.size()), argv2.data());
    Driver driver(app, page, rounds);
    result = app.Run();
  }
  std::error_code ignored;
  fs::remove_all(root, ignored);
  return result == 1 ? 0 : 1;
}
