// Engine start-up to the first page loaded, and the memory of the whole process
// tree, for both engine layers side by side with bare-view programs loading the same
// page in the same run. Cold runs start from an empty profile folder; warm runs
// reuse the folder of the previous run. Run under a display (Xvfb), from the
// folder of the probes (build/bin).
#include <benchmark/benchmark.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "bench/startup/process_tree_cpu.h"
#include "bench/startup/process_tree_memory.h"
#include "bench/startup/sample_summary.h"

namespace {

struct ProbeRun {
  double startup_ms = 0;
  double cpu_ms = 0;  // processor time of the tree when the page had loaded
  double pss_mib = 0;
  bool ok = false;
};

std::string PagePath() {
  const char* data = std::getenv("TARVO_TEST_DATA");
  const std::string folder = data != nullptr ? data : TARVO_DEFAULT_TEST_DATA;
  return "file://" + folder + "/engines/basic.html";
}

std::string ProfileFolder(const std::string& probe, bool cold) {
  const auto folder = std::filesystem::temp_directory_path() / ("tarvo-startup-" + probe);
  if (cold) {
    std::filesystem::remove_all(folder);
  }
  std::filesystem::create_directories(folder);
  return folder.string();
}

// Starts the probe, waits for its "loaded" line, measures the tree, ends it.
ProbeRun RunProbe(const std::string& probe, int tabs, bool cold) {
  ProbeRun run;
  const std::string program = "./" + probe;
  const std::string url = PagePath();
  const std::string profile = ProfileFolder(probe, cold);
  const std::string count = std::to_string(tabs);
  int out[2];
  if (pipe(out) != 0) {
    return run;
  }
  const pid_t child = fork();
  if (child == 0) {
    // Chromium refuses to start sandboxed under root; the layer turns the sandbox
    // off there by itself, the bare program must be told the same to compare.
    if (geteuid() == 0) {
      setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
    }
    dup2(out[1], STDOUT_FILENO);
    close(out[0]);
    close(out[1]);
    execl(program.c_str(), program.c_str(), url.c_str(), count.c_str(), profile.c_str(), nullptr);
    _exit(127);
  }
  close(out[1]);
  FILE* reader = fdopen(out[0], "r");
  char line[256] = {};
  long long loaded_ms = -1;
  while (reader != nullptr && std::fgets(line, sizeof line, reader) != nullptr) {
    if (std::sscanf(line, "loaded %lld", &loaded_ms) == 1) {
      break;
    }
  }
  if (loaded_ms >= 0) {
    run.cpu_ms = ProcessTreeCpu::Milliseconds(child);
    // Let the tree settle (helpers finish starting) before measuring.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    run.pss_mib = static_cast<double>(ProcessTreeMemory::PssBytes(child)) / (1024.0 * 1024.0);
    run.startup_ms = static_cast<double>(loaded_ms);
    run.ok = true;
  }
  kill(child, SIGTERM);
  waitpid(child, nullptr, 0);
  if (reader != nullptr) {
    std::fclose(reader);
  }
  return run;
}

// Runs the layer's probe and the bare probe of the same engine in turns (which one
// goes first alternates), so load that drifts during the run falls on both alike.
// Reports medians and spreads of both, and what the layer adds: to the median
// start-up (and the median of the runs' pairwise ratios), to the median processor
// time spent until the page had loaded (steadier than elapsed time on a shared
// machine), and to the median PSS.
void LayerAgainstBare(benchmark::State& state, const std::string& layer, const std::string& bare) {
  const int tabs = static_cast<int>(state.range(0));
  const bool cold = state.range(1) != 0;
  // One unmeasured run each: the programs and libraries come into the page cache,
  // and warm runs find a filled profile.
  if (!RunProbe(layer, tabs, true).ok || !RunProbe(bare, tabs, true).ok) {
    state.SkipWithError("a probe did not report a loaded page");
    return;
  }
  std::vector<double> layer_ms, bare_ms, ratios, layer_cpu, bare_cpu, layer_pss, bare_pss;
  bool layer_first = true;
  for (auto _ : state) {
    ProbeRun layer_run, bare_run;
    if (layer_first) {
      layer_run = RunProbe(layer, tabs, cold);
      bare_run = RunProbe(bare, tabs, cold);
    } else {
      bare_run = RunProbe(bare, tabs, cold);
      layer_run = RunProbe(layer, tabs, cold);
    }
    layer_first = !layer_first;
    if (!layer_run.ok || !bare_run.ok) {
      state.SkipWithError("a probe did not report a loaded page");
      return;
    }
    layer_ms.push_back(layer_run.startup_ms);
    bare_ms.push_back(bare_run.startup_ms);
    ratios.push_back(layer_run.startup_ms / bare_run.startup_ms);
    layer_cpu.push_back(layer_run.cpu_ms);
    bare_cpu.push_back(bare_run.cpu_ms);
    layer_pss.push_back(layer_run.pss_mib);
    bare_pss.push_back(bare_run.pss_mib);
    state.SetIterationTime(layer_run.startup_ms / 1000.0);
  }
  const SampleSummary layer_time = SampleSummary::Of(layer_ms);
  const SampleSummary bare_time = SampleSummary::Of(bare_ms);
  const SampleSummary ratio = SampleSummary::Of(ratios);
  const SampleSummary layer_processor = SampleSummary::Of(layer_cpu);
  const SampleSummary bare_processor = SampleSummary::Of(bare_cpu);
  const SampleSummary layer_memory = SampleSummary::Of(layer_pss);
  const SampleSummary bare_memory = SampleSummary::Of(bare_pss);
  state.counters["layer_ms"] = layer_time.median;
  state.counters["layer_ms_iqr"] = layer_time.high_quartile - layer_time.low_quartile;
  state.counters["layer_ms_min"] = layer_time.minimum;
  state.counters["layer_ms_max"] = layer_time.maximum;
  state.counters["bare_ms"] = bare_time.median;
  state.counters["bare_ms_iqr"] = bare_time.high_quartile - bare_time.low_quartile;
  state.counters["bare_ms_min"] = bare_time.minimum;
  state.counters["bare_ms_max"] = bare_time.maximum;
  state.counters["added_pct"] = (layer_time.median / bare_time.median - 1) * 100;
  state.counters["paired_added_pct"] = (ratio.median - 1) * 100;
  state.counters["paired_pct_iqr"] = (ratio.high_quartile - ratio.low_quartile) * 100;
  state.counters["layer_cpu_ms"] = layer_processor.median;
  state.counters["layer_cpu_iqr"] = layer_processor.high_quartile - layer_processor.low_quartile;
  state.counters["bare_cpu_ms"] = bare_processor.median;
  state.counters["bare_cpu_iqr"] = bare_processor.high_quartile - bare_processor.low_quartile;
  state.counters["added_cpu_pct"] = (layer_processor.median / bare_processor.median - 1) * 100;
  state.counters["layer_pss_mib"] = layer_memory.median;
  state.counters["layer_pss_iqr"] = layer_memory.high_quartile - layer_memory.low_quartile;
  state.counters["bare_pss_mib"] = bare_memory.median;
  state.counters["bare_pss_iqr"] = bare_memory.high_quartile - bare_memory.low_quartile;
  state.counters["added_pss_mib"] = layer_memory.median - bare_memory.median;
}

// Runs per configuration and probe; TARVO_STARTUP_RUNS overrides.
int Runs() {
  const char* text = std::getenv("TARVO_STARTUP_RUNS");
  const int runs = text != nullptr ? std::atoi(text) : 0;
  return runs > 0 ? runs : 15;
}

void Arguments(benchmark::internal::Benchmark* bench) {
  bench->ArgNames({"tabs", "cold"})
      ->Args({1, 1})
      ->Args({1, 0})
      ->Args({10, 0})
      ->Iterations(Runs())
      ->UseManualTime()
      ->Unit(benchmark::kMillisecond);
}

BENCHMARK_CAPTURE(LayerAgainstBare, chromium, std::string("cef_layer_probe"), std::string("bare_webengine_probe"))
    ->Apply(Arguments);
BENCHMARK_CAPTURE(LayerAgainstBare, compatibility, std::string("ie_layer_probe"), std::string("bare_webkit_probe"))
    ->Apply(Arguments);

}  // namespace

BENCHMARK_MAIN();
