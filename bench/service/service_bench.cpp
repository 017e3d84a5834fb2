// Request rates of tarvo-service over loopback with four concurrent clients, using the
// browser's own form client, and the process's memory with a 10,000-entry domain list.

#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>
#include <mutex>
#include <string>

#include "net/form_body.h"
#include "net/http_post_form.h"
#include "net/service_reply.h"
#include "platform/clock.h"
#include "service/tarvo_service.h"
#include "support/temp_dir.h"

namespace {

using tarvo::service::ServiceOptions;
using tarvo::service::TarvoService;

constexpr int kSites = 10000;

// Resident set size of this process in KiB.
long ResidentKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return 0;
}

std::string LargeSeed() {
  std::string seed = R"({"brands":[{"name":"B"}],"users":[{"username":"u","password":"p","brand":"B"}],"sites":[)";
  for (int i = 1; i <= kSites; ++i) {
    const std::string n = std::to_string(i);
    seed += (i > 1 ? "," : "") + std::string(R"({"id":)") + n + R"(,"source_url":"http://site)" + n +
            R"(.example/","target_url":"http://10.0.)" + std::to_string(i / 250) + "." + std::to_string(i % 250) +
            R"(/","isauth":1,"issign":1,"isensure":1,"authicon":["http://icons.example/a.png"],)" +
            R"("signgrade":"一级","signgrade_en":"Grade A","signcode":"S-)" + n +
            R"(","signdesc":"认证","signdesc_en":"Certified","ensure":"保障","ensure_en":"Guaranteed"})";
  }
  return seed + "]}";
}

// One service for the whole program, started on first use.
struct BenchService {
  tarvo::test::TempDir dir;
  std::unique_ptr<TarvoService> service;
  std::string userId;
  std::string token;
  long residentBeforeKiB = 0;
  long residentAfterKiB = 0;

  BenchService() {
    residentBeforeKiB = ResidentKiB();
    ServiceOptions options;
    options.port = 0;
    options.dataPath = (dir.path() / "service.db").string();
    options.seedPath = dir.WriteFile("seed.json", LargeSeed()).string();
    options.passwordIterations = 1000;
    options.quiet = true;
    options.plainHttp = true;
    service = std::make_unique<TarvoService>(options, nullptr, [] { return tarvo::NowSeconds(); });
    service->Start();
    std::string text;
    tarvo::HttpPostForm(text, tarvo::Utf8ToWide(service->BaseUrl() + "app/v1.0/login"),
                        tarvo::FormBody().Add("username", "u").Add("password", "p").Wide());
    const auto reply = tarvo::ServiceReply::Parse(text);
    userId = std::to_string(tarvo::ServiceReply::ReadInt(reply->data(), "id"));
    token = tarvo::ServiceReply::ReadString(reply->data(), "token");
    // One full list so that the storage pages the list lives in are resident.
    tarvo::HttpPostForm(text, tarvo::Utf8ToWide(service->BaseUrl() + "app/v1.0/domain_list"),
                        u"latest_time=0&platform=3&client_version=0&brand=B");
    residentAfterKiB = ResidentKiB();
  }
};

BenchService& Shared() {
  static BenchService* shared = new BenchService();  // lives until the program ends
  return *shared;
}

void Post(benchmark::State& state, const std::string& path, const tarvo::WString& body) {
  const tarvo::WString url = tarvo::Utf8ToWide(Shared().service->BaseUrl() + path);
  size_t bytes = 0;
  for (auto _ : state) {
    std::string text;
    if (tarvo::HttpPostForm(text, url, body) != 0 || text.rfind("{\"code\":200", 0) != 0) {
      state.SkipWithError("request failed");
      break;
    }
    bytes += text.size();
  }
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(static_cast<int64_t>(bytes));
}

void BM_UserInfo(benchmark::State& state) {
  const BenchService& shared = Shared();
  Post(state, "app/v1.0/user_info",
       tarvo::FormBody().Add("id", shared.userId).Add("token", shared.token).Add("language", "usa").Wide());
}

void BM_DomainList10k(benchmark::State& state) {
  Post(state, "app/v1.0/domain_list", u"latest_time=0&platform=3&client_version=0&brand=B");
  if (state.thread_index() == 0) {
    state.counters["rss_kib_with_list"] = static_cast<double>(Shared().residentAfterKiB);
    state.counters["rss_kib_service_growth"] =
        static_cast<double>(Shared().residentAfterKiB - Shared().residentBeforeKiB);
  }
}

BENCHMARK(BM_UserInfo)->Threads(4)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_DomainList10k)->Threads(4)->UseRealTime()->MinTime(3.0);

}  // namespace

BENCHMARK_MAIN();
