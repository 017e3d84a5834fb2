// Upgrade of a new profile and history inserts on the shared connection.

#include <benchmark/benchmark.h>

#include <filesystem>

#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "scratch_database.h"
#include "store/history_records.h"

namespace tarvo {
namespace {

// Open plus all six upgrade steps with their seeds, on a file that does not exist yet.
void BM_UpgradeNewFile(benchmark::State& state) {
  bench::ScratchFolder folder;
  int round = 0;
  for (auto _ : state) {
    UserDatabase database;
    bench::OpenUpgraded(database, folder, "kx" + std::to_string(round++) + ".dat");
    benchmark::DoNotOptimize(database.GetDataVersion());
  }
}
BENCHMARK(BM_UpgradeNewFile)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// One history row per iteration, each its own committed statement as the browser
// writes them.
void BM_AddHistory(benchmark::State& state) {
  SettingsRegistry::Instance().Set(SettingsKeys::kNewPage, u"file:///opt/tarvo/home.html");
  bench::ScratchFolder folder;
  UserDatabase database;
  bench::OpenUpgraded(database, folder, "kx.dat");
  const HistoryRecords history(database);
  PageUrl page{u"https://www.example.com/news/article?id=1234", u"https://www.example.com/news/article?id=1234",
               false, 0};
  for (auto _ : state) {
    if (history.AddHistory(page) != 0) {
      state.SkipWithError("insert failed");
      break;
    }
  }
  state.SetItemsProcessed(state.iterations());
}
// Real time: each commit waits for the disk, which is what a caller waits for too.
BENCHMARK(BM_AddHistory)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
}  // namespace tarvo

BENCHMARK_MAIN();
