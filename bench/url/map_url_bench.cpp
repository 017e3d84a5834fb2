// CBrowserUrl::Route (the list lookups and the engine choice) against a list of
// 10,000 protected sites, with the lookup indexes the database creates at open and
// with them dropped.

#include <benchmark/benchmark.h>

#include <string>

#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "net/payload_cipher.h"
#include "scratch_database.h"
#include "protect/c_browser_url.h"
#include "store/schema_steps.h"

namespace tarvo {
namespace {

constexpr int kSites = 10'000;

std::string Cipher(const std::string& plain) {
  std::string out;
  PayloadCipher().EncryptText(plain, out);
  return out;
}

// Fills domainlist with kSites rows, stored as the service's list is: ciphered
// addresses and hosts, mirrors with distinct ttl values.
void FillDomainList(UserDatabase& database) {
  database.RunInTransaction([&] {
    for (int i = 0; i < kSites; ++i) {
      const std::string site = "site" + std::to_string(i) + ".example.cn";
      const std::string mirror = "10.0." + std::to_string(i / 250) + "." + std::to_string(i % 250);
      database.Execute("insert into domainlist (id, source_status, source_url, source_domain, target_status, "
                       "target_url, target_domain, ttl) values (?, '1', ?, ?, '1', ?, ?, ?)",
                       {i, Cipher("https://" + site + "/"), Cipher(site), Cipher("http://" + mirror + "/"),
                        Cipher(mirror), i % 64});
    }
    return true;
  });
}

// Addresses that map by exact source, by source host, by mirror, and not at all.
WString AddressFor(int64_t i) {
  const std::string n = std::to_string((i * 7919) % kSites);
  switch (i % 4) {
    case 0:
      return Utf8ToWide("https://site" + n + ".example.cn/");
    case 1:
      return Utf8ToWide("https://site" + n + ".example.cn/account?id=" + n);
    case 2:
      return Utf8ToWide("http://10.0." + std::to_string(std::stoi(n) / 250) + "." + std::to_string(std::stoi(n) % 250) +
                        "/");
    default:
      return Utf8ToWide("https://unlisted" + n + ".example.org/");
  }
}

void RunRoute(benchmark::State& state, bool withIndexes) {
  SettingsRegistry::Instance().Set(SettingsKeys::kUserCentre, u"tarvo://");
  bench::ScratchFolder folder;
  UserDatabase database;
  bench::OpenUpgraded(database, folder, "kx.dat");
  FillDomainList(database);
  if (!withIndexes) {
    for (const char* index : {"domainlist_source_url", "domainlist_source_domain", "domainlist_target_url",
                              "domainlist_target_domain"}) {
      database.Execute(std::string("DROP INDEX IF EXISTS ") + index + ";");
    }
  }
  const DomainList list(database);
  const CBrowserUrl router(list, database);
  int64_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(router.Route(AddressFor(i++)));
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_RouteIndexed(benchmark::State& state) { RunRoute(state, true); }
BENCHMARK(BM_RouteIndexed)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_RouteWithoutIndexes(benchmark::State& state) { RunRoute(state, false); }
BENCHMARK(BM_RouteWithoutIndexes)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime()
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

}  // namespace
}  // namespace tarvo

BENCHMARK_MAIN();
