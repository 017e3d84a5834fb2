// Browser start-up to the first page loaded, and the memory of the whole process
// tree, for tarvo-browser, Falkon (a Qt WebEngine browser from Debian) and the bare
// QWebEngineView probe, side by side in one run, the other two drawn the way the
// browser draws (in software where it does). Every program loads the harness's
// loopback page, whose onload handler fetches a beacon; the time runs from fork to
// the last expected beacon. Cold runs start from empty profile folders; warm runs
// reuse the previous run's. Run under a display (Xvfb) from build/bin.
// With TARVO_PACKAGE_ROOT naming a root the Debian package was unpacked into
// (bench/package/package_figures.sh), tarvo-browser from the build tree is measured
// against tarvo-browser from that root instead.
#include <benchmark/benchmark.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "bench/browser_startup/beacon_server.h"
#include "bench/startup/process_memory_components.h"
#include "bench/startup/process_tree_memory.h"
#include "bench/startup/sample_summary.h"
#include "engines/webengine/display_compositing.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr auto kLoadLimit = std::chrono::seconds(60);

struct Run {
  double startupMs = 0;
  double pssMib = 0;
  // The PSS of the program's own process by component, and of its helper processes
  // (renderers, GPU, zygote) as "helper_processes".
  std::map<std::string, double> componentMib;
  bool ok = false;
};

BeaconServer& Server() {
  static BeaconServer* server = new BeaconServer();
  return *server;
}

fs::path Profile(const std::string& program, bool cold) {
  const fs::path folder = fs::temp_directory_path() / ("tarvo-browser-startup-" + program);
  if (cold) fs::remove_all(folder);
  for (const char* sub : {"data", "config", "cache"}) fs::create_directories(folder / sub);
  return folder;
}

// Program, arguments and environment of one start.
struct Launch {
  std::string program;
  std::vector<std::string> arguments;
  std::map<std::string, std::string> environment;
};

std::string PackageRoot() {
  const char* root = std::getenv("TARVO_PACKAGE_ROOT");
  return root != nullptr ? root : "";
}

Launch LaunchFor(const std::string& name, int tabs, const fs::path& profile) {
  std::map<std::string, std::string> xdg = {{"XDG_DATA_HOME", (profile / "data").string()},
                                             {"XDG_CONFIG_HOME", (profile / "config").string()},
                                             {"XDG_CACHE_HOME", (profile / "cache").string()}};
  if (geteuid() == 0) {
    // Chromium refuses its sandbox under root; tarvo-browser switches it off itself,
    // the other two are told the same.
    xdg["QTWEBENGINE_DISABLE_SANDBOX"] = "1";
  }
  if (name != "tarvo-browser" && name != "tarvo-package" &&
      tarvo::cef::DisplayCompositing::PrefersSoftware([](const char* variable) { return std::getenv(variable); },
                                                      tarvo::cef::DisplayCompositing::GpuDeviceExists())) {
    // The browser draws its pages in software here: the others are drawn the same
    // way, so the comparison measures the programs, not the drawing path.
    xdg["QT_QUICK_BACKEND"] = "software";
    xdg["QT_XCB_GL_INTEGRATION"] = "none";
  }
  std::vector<std::string> urls;
  for (int tab = 0; tab < tabs; ++tab) urls.push_back(Server().PageUrl(tab));
  if (name == "tarvo-browser" || name == "tarvo-package") {
    // An unreachable service: the start must not wait for it.
    auto environment = xdg;
    environment["TARVO_API_URL"] = "http://127.0.0.1:9/";
    const std::string program = name == "tarvo-browser" ? "./tarvo-browser" : PackageRoot() + "/usr/bin/tarvo-browser";
    return {program, urls, environment};
  }
  if (name == "falkon") {
    // Falkon leaves background tabs unloaded until selected; the comparison needs
    // every tab loaded, as the other two do.
    const fs::path settings = profile / "config" / "falkon" / "profiles" / "default" / "settings.ini";
    fs::create_directories(settings.parent_path());
    if (!fs::exists(settings)) {
      std::ofstream(settings) << "[Web-Browser-Settings]\nLoadTabsOnActivation=false\n";
    }
    std::vector<std::string> arguments = {"--no-extensions"};
    arguments.insert(arguments.end(), urls.begin(), urls.end());
    return {"/usr/bin/falkon", arguments, xdg};
  }
  return {"./bare_webengine_probe", {urls.front(), std::to_string(tabs), profile.string()}, xdg};
}

Run Measure(const std::string& name, int tabs, bool cold) {
  Run run;
  const Launch launch = LaunchFor(name, tabs, Profile(name, cold));
  Server().Reset();
  const auto started = Clock::now();
  const pid_t child = fork();
  if (child == 0) {
    for (const auto& [key, value] : launch.environment) setenv(key.c_str(), value.c_str(), 1);
    std::vector<char*> argv = {const_cast<char*>(launch.program.c_str())};
    for (const std::string& argument : launch.arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    freopen("/dev/null", "w", stdout);
    freopen("/dev/null", "w", stderr);
    execv(launch.program.c_str(), argv.data());
    _exit(127);
  }
  if (Server().WaitForBeacons(tabs, kLoadLimit)) {
    run.startupMs = std::chrono::duration<double, std::milli>(Clock::now() - started).count();
    // Let the tree settle (helpers finish starting) before measuring.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const long long tree = ProcessTreeMemory::PssBytes(child);
    long long own = 0;
    for (const auto& [component, bytes] : ProcessMemoryComponents::Of(child)) {
      run.componentMib[component] = static_cast<double>(bytes) / (1024.0 * 1024.0);
      own += bytes;
    }
    run.componentMib["helper_processes"] = static_cast<double>(tree - own) / (1024.0 * 1024.0);
    run.pssMib = static_cast<double>(tree) / (1024.0 * 1024.0);
    run.ok = true;
  }
  // Every program closes in order on SIGTERM; a hang is ended after ten seconds.
  kill(child, SIGTERM);
  for (int i = 0; i < 200 && waitpid(child, nullptr, WNOHANG) == 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  if (waitpid(child, nullptr, WNOHANG) == 0) {
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
  }
  return run;
}

// Falkon opens only the last of several command-line addresses, so it takes part
// in the one-tab runs only, and only where it is installed (the test command does not
// install it: on Debian 12 it is still built on the previous Qt).
std::vector<std::string> Programs(int tabs) {
  if (!PackageRoot().empty()) return {"tarvo-browser", "tarvo-package"};
  if (tabs == 1 && fs::exists("/usr/bin/falkon")) return {"tarvo-browser", "falkon", "bare_webengine_probe"};
  return {"tarvo-browser", "bare_webengine_probe"};
}

// The three programs in turns, the first one rotating, so drifting load falls on all
// alike. Medians of each, and tarvo-browser against the other two (medians of the
// runs' pairwise ratios).
void BrowserStartup(benchmark::State& state) {
  const int tabs = static_cast<int>(state.range(0));
  const bool cold = state.range(1) != 0;
  // One unmeasured start each: programs and libraries come into the page cache, and
  // warm runs find filled profiles.
  const std::vector<std::string> programs = Programs(tabs);
  const bool withFalkon = programs.size() == 3;
  const bool withBare = std::find(programs.begin(), programs.end(), "bare_webengine_probe") != programs.end();
  const bool withPackage = !withBare;
  for (const std::string& name : programs) {
    if (!Measure(name, tabs, true).ok) {
      state.SkipWithError((name + " did not load the page").c_str());
      return;
    }
  }
  std::map<std::string, std::vector<double>> ms, pss;
  std::map<std::string, std::map<std::string, std::vector<double>>> components;  // program -> component
  std::vector<double> againstFalkon, againstBare, packageAgainstBuild;
  size_t first = 0;
  for (auto _ : state) {
    std::map<std::string, Run> runs;
    for (size_t i = 0; i < programs.size(); ++i) {
      const std::string& name = programs[(first + i) % programs.size()];
      runs[name] = Measure(name, tabs, cold);
      if (!runs[name].ok) {
        state.SkipWithError((name + " did not load the page").c_str());
        return;
      }
    }
    first = (first + 1) % programs.size();
    for (const auto& [name, run] : runs) {
      ms[name].push_back(run.startupMs);
      pss[name].push_back(run.pssMib);
      for (const auto& [component, mib] : run.componentMib) components[name][component].push_back(mib);
    }
    if (withFalkon) againstFalkon.push_back(runs["tarvo-browser"].startupMs / runs["falkon"].startupMs);
    if (withBare) againstBare.push_back(runs["tarvo-browser"].startupMs / runs["bare_webengine_probe"].startupMs);
    if (withPackage) packageAgainstBuild.push_back(runs["tarvo-package"].startupMs / runs["tarvo-browser"].startupMs);
    state.SetIterationTime(runs["tarvo-browser"].startupMs / 1000.0);
  }
  const std::map<std::string, std::string> shortNames = {
      {"tarvo-browser", "tarvo"}, {"falkon", "falkon"}, {"bare_webengine_probe", "bare"}, {"tarvo-package", "package"}};
  for (const auto& [name, shortName] : shortNames) {
    if (ms[name].empty()) continue;
    state.counters[shortName + "_ms"] = SampleSummary::Of(ms[name]).median;
    state.counters[shortName + "_pss_mib"] = SampleSummary::Of(pss[name]).median;
  }
  if (withFalkon) state.counters["tarvo_per_falkon"] = SampleSummary::Of(againstFalkon).median;
  if (withPackage) {
    state.counters["package_per_build"] = SampleSummary::Of(packageAgainstBuild).median;
    return;
  }
  state.counters["tarvo_per_bare"] = SampleSummary::Of(againstBare).median;
  state.counters["tarvo_added_pss_mib"] =
      SampleSummary::Of(pss["tarvo-browser"]).median - SampleSummary::Of(pss["bare_webengine_probe"]).median;
  // Where the difference is: each component's median in tarvo-browser less the bare
  // program's (a component one of them lacks counts as zero there).
  auto& tarvo = components["tarvo-browser"];
  auto& bare = components["bare_webengine_probe"];
  for (const auto& [component, values] : tarvo) {
    const double bareMedian = bare.count(component) != 0 ? SampleSummary::Of(bare[component]).median : 0.0;
    state.counters["added_" + component + "_mib"] = SampleSummary::Of(values).median - bareMedian;
  }
  for (const auto& [component, values] : bare) {
    if (tarvo.count(component) == 0) state.counters["added_" + component + "_mib"] = -SampleSummary::Of(values).median;
  }
}

int Runs() {
  const char* text = std::getenv("TARVO_STARTUP_RUNS");
  const int runs = text != nullptr ? std::atoi(text) : 0;
  return runs > 0 ? runs : 9;
}

BENCHMARK(BrowserStartup)
    ->ArgNames({"tabs", "cold"})
    ->Args({1, 1})
    ->Args({1, 0})
    ->Args({10, 1})
    ->Args({10, 0})
    ->Args({30, 0})
    ->Iterations(Runs())
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
