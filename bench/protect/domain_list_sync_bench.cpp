// A full refresh of a 10,000-entry protected-site list from a loopback server:
// download, the check of the brand's signature over its mirror map, decryption and
// re-encryption of every address, and the rebuild in one transaction.
#include <benchmark/benchmark.h>
#include <json/json.h>

#include "settings/settings_registry.h"
#include "support/loopback_http_server.h"
#include "net/payload_cipher.h"
#include "net/signing_key.h"
#include "protect/domain_list_sync.h"
#include "settings/settings_keys.h"
#include "scratch_database.h"

namespace {

using tarvo::PayloadCipher;

std::string ListReply(int entries, const tarvo::SigningKey& key) {
  const PayloadCipher cipher;
  Json::Value list(Json::arrayValue);
  for (int i = 1; i <= entries; ++i) {
    std::string source;
    std::string target;
    cipher.EncryptText("https://site" + std::to_string(i) + ".bank.example.cn/login", source);
    cipher.EncryptText("http://10.0." + std::to_string(i / 250) + "." + std::to_string(i % 250) + "/", target);
    Json::Value entry;
    entry["id"] = i;
    entry["source_id"] = i;
    entry["source_status"] = 1;
    entry["source_url"] = source;
    entry["target_id"] = i;
    entry["target_status"] = 1;
    entry["target_url"] = target;
    entry["isauth"] = 1;
    entry["issign"] = 1;
    entry["isensure"] = 1;
    entry["authicon"].append("http://icons.example/" + std::to_string(i) + ".png");
    entry["signgrade"] = "A";
    entry["signdesc"] = "Certified site";
    entry["action"] = 1;
    list.append(entry);
  }
  Json::Value reply;
  reply["code"] = 200;
  reply["data"]["max_time"] = 1700000000;
  reply["data"]["domain_list"] = list;
  reply["data"]["signature2"] = key.Sign(tarvo::DomainListSync::MirrorMapText(reply["data"]));
  return Json::writeString(Json::StreamWriterBuilder(), reply);
}

void BM_SyncDomainList10000(benchmark::State& state) {
  const tarvo::SigningKey key = *tarvo::SigningKey::Generate();
  const std::string body = ListReply(10000, key);
  tarvo::test::LoopbackHttpServer server(
      [&](const tarvo::test::ReceivedRequest&) { return tarvo::test::LoopbackHttpServer::Ok(body); });
  tarvo::SettingsRegistry::Instance().Set(tarvo::SettingsKeys::kApiUrl, server.WideUrl("/"));
  tarvo::SettingsRegistry::Instance().Set(tarvo::SettingsKeys::kBrand, u"TarvoBrowser");
  tarvo::bench::ScratchFolder folder;
  tarvo::UserDatabase database;
  tarvo::bench::OpenUpgraded(database, folder, "kx.dat");
  tarvo::DomainListSync sync(database, tarvo::TrustedKeys::Parse(key.PublicKeyHex()));
  for (auto _ : state) {
    if (sync.SyncDomainList() != 0) {
      state.SkipWithError("sync failed");
      break;
    }
  }
  state.counters["reply_bytes"] = static_cast<double>(body.size());
}

BENCHMARK(BM_SyncDomainList10000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// The signature's share of the refresh: the mirror map's text (every address
// deciphered, the entries sorted) and the check of the brand's signature over it.
void BM_MirrorMapSignature10000(benchmark::State& state) {
  const tarvo::SigningKey key = *tarvo::SigningKey::Generate();
  Json::Value reply;
  Json::Reader().parse(ListReply(10000, key), reply);
  const tarvo::TrustedKeys trusted = tarvo::TrustedKeys::Parse(key.PublicKeyHex());
  for (auto _ : state) {
    const Json::Value& data = reply["data"];
    if (!trusted.Verifies(tarvo::DomainListSync::MirrorMapText(data), data["signature2"].asString())) {
      state.SkipWithError("signature refused");
      break;
    }
  }
}

BENCHMARK(BM_MirrorMapSignature10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
