// Engine start-up to the first page loaded, and the memory of the whole process
// tree, for both engine layers side by side with bare-view programs loading the same
// page in the same run. Cold runs start from an empty profile folder; warm runs
// reuse the folder of the previous run. Run under a display (Xvfb).
#include <benchmark/benchmark.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

#include "bench/startup/process_tree_memory.h"

namespace {

struct ProbeRun {
  double startup_ms = 0;
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

void Startup(benchmark::State& state, const std::string& probe) {
  const int tabs = static_cast<int>(state.range(0));
  const bool cold = state.range(1) != 0;
  double startup = 0;
  double pss = 0;
  int runs = 0;
  for (auto _ : state) {
    const ProbeRun run = RunProbe(probe, tabs, cold);
    if (!run.ok) {
      state.SkipWithError("probe did not report a loaded page");
      return;
    }
    startup += run.startup_ms;
    pss += run.pss_mib;
    ++runs;
    state.SetIterationTime(run.startup_ms / 1000.0);
  }
  state.counters["startup_ms"] = startup / runs;
  state.counters["pss_mib"] = pss / runs;
}

void Arguments(benchmark::internal::Benchmark* bench) {
  bench->ArgNames({"tabs", "cold"})
      ->Args({1, 1})
      ->Args({1, 0})
      ->Args({10, 0})
      ->Iterations(3)
      ->UseManualTime()
      ->Unit(benchmark::kMillisecond);
}

BENCHMARK_CAPTURE(Startup, bare_webengine, std::string("bare_webengine_probe"))->Apply(Arguments);
BENCHMARK_CAPTURE(Startup, cef_layer, std::string("cef_layer_probe"))->Apply(Arguments);
BENCHMARK_CAPTURE(Startup, bare_webkit, std::string("bare_webkit_probe"))->Apply(Arguments);
BENCHMARK_CAPTURE(Startup, ie_layer, std::string("ie_layer_probe"))->Apply(Arguments);

}  // namespace

BENCHMARK_MAIN();
