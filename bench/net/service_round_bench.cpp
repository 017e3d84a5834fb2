// The browser's first round with its service, as a fresh start makes it: the brand's
// default favourites, the VPN white list, the launch report, the domain list (its
// mirror map's signature checked, the list rebuilt) and the version check (its
// signature checked). Each round runs on a thread of its own, as a fresh start's
// does: its first request opens the connection the rest of the round reuses, so over
// TLS the round pays one handshake (resuming the session an earlier round left, as
// the browser's threads share theirs). The same round against the reference service
// over plain HTTP and over TLS (certificate of a CA made for the run), one after the
// other in one run.
#include <benchmark/benchmark.h>

#include <functional>
#include <memory>
#include <thread>
#include <utility>

#include "net/http_post_form.h"
#include "protect/domain_list_sync.h"
#include "scratch_database.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "support/service_process.h"
#include "support/temp_dir.h"
#include "update/launch_report.h"
#include "update/update_check.h"

namespace tarvo {
namespace {

using test::ServiceProcess;

void BM_FirstServiceRound(benchmark::State& state, ServiceProcess::Transport transport) {
  if (ServiceProcess::Program().empty()) {
    state.SkipWithError("tarvo-service is not beside the benchmark");
    return;
  }
  test::TempDir folder;
  const ServiceProcess service(ServiceProcess::Program(), std::string(TARVO_SOURCE_DIR) + "/service/seed/demo.json",
                               (folder.path() / "service.db").string(), {}, transport);
  service.UseInThisProcess();
  SettingsRegistry::Instance().Set(SettingsKeys::kBrand, u"TarvoBrowser");
  bench::ScratchFolder scratch;
  UserDatabase database;
  bench::OpenUpgraded(database, scratch, "kx.dat");
  UpdateSettings update;
  update.dataRoot = Utf8ToWide(folder.path().string() + "/");
  update.ownVersion = u"5.5.8.1";
  update.brand = u"TarvoBrowser";
  update.registryKey = u"Software\\TarvoBrowserBench";
  update.trustedKeys = service.credentials().publicKey();
  const FormBody brand = FormBody().Add("brand", "TarvoBrowser");
  ServiceReply reply;
  WString version;
  WString installer;
  const std::pair<const char*, std::function<int()>> round[] = {
      {"default_fav", [&] { return CallService(u"app/v1.0/default_fav", brand, reply); }},
      {"list_web_url", [&] { return CallService(u"app/v1.0/list_web_url", brand, reply); }},
      {"log_client_launch", [] { return LaunchReport(u"TarvoBrowser", u"5.5.8.1").Send(); }},
      {"domain_list", [&] { return DomainListSync(database, TrustedKeys::Parse(update.trustedKeys)).SyncDomainList(); }},
      {"version", [&] { return UpdateCheck(update).CheckVersion(version, installer); }},
  };
  for (auto _ : state) {
    const char* failed = nullptr;
    std::thread([&] {
      for (const auto& [name, request] : round) {
        if (request() != 0) {
          failed = name;
          return;
        }
      }
    }).join();
    if (failed != nullptr) {
      state.SkipWithError(failed);
      return;
    }
  }
}
BENCHMARK_CAPTURE(BM_FirstServiceRound, plain_http, ServiceProcess::Transport::kPlainHttp)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_FirstServiceRound, tls, ServiceProcess::Transport::kTls)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace tarvo

BENCHMARK_MAIN();
