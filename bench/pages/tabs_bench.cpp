// Tabs side by side: our pages (page list, tab strip, body bar, Chromium client, bus)
// against bare QWebEngineView tabs, in the same run with the same numbers of tabs.
// For 1, 10 and 30 tabs: the mean time from asking for a tab to its page loaded, the
// mean time of a tab switch, the PSS of the whole process tree, and the PSS each tab
// beyond the first adds; and our 30 tabs with all but one asleep (discarded), with
// the time to wake one until loaded. Run under a display (Xvfb).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <thread>

#include "bench/pages/probe_process.h"
#include "bench/startup/process_tree_memory.h"

namespace {

struct TabRun {
  double openMs = 0;
  double switchMs = 0;
  double pssMib = 0;
  double wakeMs = 0;
  bool ok = false;
};

std::string PageUrl() {
  const char* data = std::getenv("TARVO_TEST_DATA");
  return "file://" + std::string(data != nullptr ? data : TARVO_DEFAULT_TEST_DATA) + "/engines/basic.html";
}

// A fresh profile per run, so no run reuses another's cache.
std::string FreshProfile(const std::string& probe) {
  const auto folder = std::filesystem::temp_directory_path() / ("tarvo-tabs-" + probe);
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  return folder.string();
}

TabRun RunProbe(const std::string& probe, int tabs) {
  TabRun run;
  ProbeProcess process("./" + probe, {PageUrl(), std::to_string(tabs), FreshProfile(probe)});
  std::string line;
  while (process.running() && process.ReadLine(&line)) {
    if (line.rfind("open ", 0) == 0) run.openMs = std::stod(line.substr(5));
    if (line.rfind("switch ", 0) == 0) run.switchMs = std::stod(line.substr(7));
    if (line.rfind("wake ", 0) == 0) run.wakeMs = std::stod(line.substr(5));
    if (line == "ready") {
      // Let the helpers finish what the last load started before measuring.
      std::this_thread::sleep_for(std::chrono::milliseconds(500));
      run.pssMib = static_cast<double>(ProcessTreeMemory::PssBytes(process.pid())) / (1024.0 * 1024.0);
      run.ok = true;
      break;
    }
  }
  return run;
}

// PSS of one-tab runs per probe, the base the per-tab figure is taken from; filled by
// the one-tab benchmark, or measured on demand when that one was filtered out.
std::map<std::string, double>& OneTabPss() {
  static std::map<std::string, double> measured;
  return measured;
}

double OneTabPssOf(const std::string& probe) {
  auto it = OneTabPss().find(probe);
  if (it == OneTabPss().end()) it = OneTabPss().emplace(probe, RunProbe(probe, 1).pssMib).first;
  return it->second;
}

void Tabs(benchmark::State& state, const std::string& probe) {
  const int tabs = static_cast<int>(state.range(0));
  TabRun total;
  int runs = 0;
  for (auto _ : state) {
    const TabRun run = RunProbe(probe, tabs);
    if (!run.ok) {
      state.SkipWithError("probe did not report its tabs");
      return;
    }
    total.openMs += run.openMs;
    total.switchMs += run.switchMs;
    total.pssMib += run.pssMib;
    total.wakeMs += run.wakeMs;
    ++runs;
    state.SetIterationTime(run.openMs / 1000.0);
  }
  state.counters["open_ms"] = total.openMs / runs;
  state.counters["switch_ms"] = total.switchMs / runs;
  state.counters["pss_mib"] = total.pssMib / runs;
  if (total.wakeMs > 0) state.counters["wake_ms"] = total.wakeMs / runs;
  if (tabs == 1) OneTabPss()[probe] = total.pssMib / runs;
  if (tabs > 1) state.counters["pss_per_tab_mib"] = (total.pssMib / runs - OneTabPssOf(probe)) / (tabs - 1);
}

void Arguments(benchmark::internal::Benchmark* bench) {
  bench->ArgName("tabs")->Arg(1)->Arg(10)->Arg(30)->Iterations(2)->UseManualTime()->Unit(benchmark::kMillisecond);
}

BENCHMARK_CAPTURE(Tabs, bare_webengine, std::string("bare_tabs_probe"))->Apply(Arguments);
BENCHMARK_CAPTURE(Tabs, tarvo_pages, std::string("tarvo_tabs_probe"))->Apply(Arguments);

// Our 30 tabs with 29 asleep, against the bare probe's 30 live ones above.
void TabsAsleep(benchmark::State& state) {
  setenv("TARVO_PROBE_ASLEEP", "1", 1);
  Tabs(state, "tarvo_tabs_probe");
  unsetenv("TARVO_PROBE_ASLEEP");
}
BENCHMARK(TabsAsleep)->ArgName("tabs")->Arg(30)->Iterations(2)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
