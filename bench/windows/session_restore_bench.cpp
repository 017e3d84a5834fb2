// Starting the whole browser until its selected tab has loaded: with a saved
// session of N tabs restored (the last one selected), against a start with one
// tab. Restored tabs other than the selected one load only when selected. Each
// start runs in a fresh child process with its own data folders and
// local file pages (no service). Run from build/bin under a display:
//   QTWEBENGINE_DISABLE_SANDBOX=1 ./session_restore_bench [tabs] [rounds]
#include <stdlib.h>
#include <sys/wait.h>
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
#include "bench/windows/bench_home.h"
#include "session/session_file.h"
#include "shell/mainwnd/main_dui_wnd.h"
#include "shell/pages/page.h"
#include "shell/pages/pages.h"

namespace {

namespace fs = std::filesystem;
using namespace tarvo;

std::string PageTitle(int index) { return "Bench " + std::to_string(index); }

// One start in this process: `tabs` 0 means one tab from the command line.
int RunOnce(int tabs) {
  QElapsedTimer clock;
  clock.start();
  const fs::path root = bench::MakeBenchHome("session_restore_bench");
  if (root.empty()) return 2;
  const int pages = std::max(tabs, 1);
  std::vector<std::string> urls;
  for (int i = 0; i < pages; ++i) {
    const fs::path page = root / ("page" + std::to_string(i) + ".html");
    std::ofstream(page) << "<title>" << PageTitle(i) << "</title><p>Page " << i << " of the restore benchmark.";
    urls.push_back("file://" + page.string());
  }
  std::vector<std::string> arguments = {"tarvo-browser", "-noupdate"};
  if (tabs == 0) {
    arguments.push_back(urls[0]);
  } else {
    std::ofstream(root / "config/TarvoBrowser/registry.json") << R"({"Software\\TarvoBrowser":{"restore_session":"1"}})";
    SessionState state;
    state.cleanExit = true;
    SavedWindow window;
    // Saved titles unlike the pages' own, so the selected tab's title tells that it loaded.
    for (size_t i = 0; i < urls.size(); ++i) window.tabs.push_back({urls[i], 1, false, 0, "Saved " + std::to_string(i)});
    window.selected = pages - 1;
    state.windows.push_back(window);
    if (!SessionFile((root / "data/TarvoBrowser/session.json").string()).Write(state)) return 2;
  }
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  {
    // The engine's profile closes its files with the application object.
    int qtArgc = 1;
    QApplication application(qtArgc, argv.data());
    CKXBrowserApp app(static_cast<int>(arguments.size()), argv.data());
    const WString expected = Utf8ToWide(PageTitle(pages - 1));
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
      MainDuiWnd* window = app.main_window();
      Page* current = window != nullptr ? window->CurrentPage() : nullptr;
      if (current == nullptr || window->PageList().Count() != pages || current->GetTitle() != expected) return;
      poll.stop();
      std::printf("%lld\n", static_cast<long long>(clock.elapsed()));
      std::fflush(stdout);
      window->Close(0);
    });
    poll.start(5);
    app.Run();
  }
  std::error_code ignored;
  fs::remove_all(root, ignored);
  return 0;
}

// Runs this program again for one start and reads its figure (ms), or -1.
double Measure(const char* self, int tabs) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return -1;
  const pid_t child = fork();
  if (child == 0) {
    dup2(pipeEnds[1], STDOUT_FILENO);
    close(pipeEnds[0]);
    const std::string mode = std::to_string(tabs);
    execl(self, self, "--once", mode.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(pipeEnds[1]);
  std::string output;
  char buffer[256];
  for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;) output.append(buffer, static_cast<size_t>(n));
  close(pipeEnds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  try {
    return std::stod(output);
  } catch (const std::exception&) {
    return -1;
  }
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--once") return RunOnce(std::atoi(argv[2]));
  const int tabs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
  std::vector<double> single, restored;
  for (int i = 0; i < rounds; ++i) {
    single.push_back(Measure("/proc/self/exe", 0));
    restored.push_back(Measure("/proc/self/exe", tabs));
  }
  std::printf("rounds %d\nstart with one tab until loaded: median %.0f ms\n"
              "restore %d tabs until the selected one is loaded: median %.0f ms (%.2fx)\n",
              rounds, Median(single), tabs, Median(restored), Median(restored) / std::max(1.0, Median(single)));
  return 0;
}
