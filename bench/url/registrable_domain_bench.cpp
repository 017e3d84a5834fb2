// Registrable-domain lookups: the hash lookup per label boundary against the
// longest-first linear walk it replaces, over the same hosts in the same run.

#include <benchmark/benchmark.h>

#include <array>
#include <string_view>

#include "url/public_suffix_table.h"
#include "url/url_parts.h"

namespace tarvo {
namespace {

// Typical hosts: one- and two-label suffixes, deep hosts, a host that is itself a
// suffix, an unlisted name and an IP address (the walk's worst case: no match).
constexpr std::array<std::string_view, 8> kHosts = {
    "www.example.com",  "ebank.bank.com.cn",       "a.b.c.news.example.co.uk", "com.cn",
    "intranet",         "static.cdn.blogspot.com", "192.168.10.20",            "mybank.icbc.com.cn"};

template <typename Lookup>
void RunLookups(benchmark::State& state, Lookup lookup) {
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(lookup(kHosts[i]));
    i = (i + 1) % kHosts.size();
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_RegistrableDomainHash(benchmark::State& state) {
  const PublicSuffixTable& table = PublicSuffixTable::Instance();
  RunLookups(state, [&](std::string_view host) { return table.RegistrableDomain(host); });
}
BENCHMARK(BM_RegistrableDomainHash);

void BM_RegistrableDomainLinearWalk(benchmark::State& state) {
  const PublicSuffixTable& table = PublicSuffixTable::Instance();
  RunLookups(state, [&](std::string_view host) { return table.RegistrableDomainByLinearWalk(host); });
}
BENCHMARK(BM_RegistrableDomainLinearWalk);

// The whole URL operation: host extraction, conversions and the lookup.
void BM_GetRegistrableDomainOfUrl(benchmark::State& state) {
  const WString url = u"https://ebank.bank.com.cn:8443/login/index.html";
  for (auto _ : state) {
    benchmark::DoNotOptimize(GetRegistrableDomain(url));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GetRegistrableDomainOfUrl);

}  // namespace
}  // namespace tarvo

BENCHMARK_MAIN();
