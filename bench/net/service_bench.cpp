// Service round trips (HttpPostForm against a loopback server answering a small
// envelope) and the payload cipher on 1 KiB texts.
#include <benchmark/benchmark.h>

#include "settings/settings_registry.h"
#include "net/http_post_form.h"
#include "support/loopback_http_server.h"
#include "net/payload_cipher.h"

namespace tarvo {
namespace {

void BM_HttpPostFormRoundTrip(benchmark::State& state) {
  test::LoopbackHttpServer server([](const test::ReceivedRequest&) {
    return test::LoopbackHttpServer::Ok(R"({"code": 200, "message": "ok", "data": {"version": "5.5.8.1"}})");
  });
  const WString url = server.WideUrl("/app/v1.0/version");
  const WString body = FormBody().Add("brand", "TarvoBrowser").Add("type", "PC").Wide();
  std::string reply;
  for (auto _ : state) {
    if (HttpPostForm(reply, url, body) != 0) {
      state.SkipWithError("post failed");
      return;
    }
    benchmark::DoNotOptimize(reply);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_HttpPostFormRoundTrip)->UseRealTime();

void BM_CipherEncrypt1KiB(benchmark::State& state) {
  const PayloadCipher cipher;
  const std::string plain(1024, 'u');
  std::string out;
  for (auto _ : state) {
    cipher.EncryptText(plain, out);
    benchmark::DoNotOptimize(out);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * plain.size()));
}
BENCHMARK(BM_CipherEncrypt1KiB);

void BM_CipherDecrypt1KiB(benchmark::State& state) {
  const PayloadCipher cipher;
  std::string cipherText;
  cipher.EncryptText(std::string(1024, 'u'), cipherText);
  std::string out;
  for (auto _ : state) {
    cipher.DecryptText(cipherText, out);
    benchmark::DoNotOptimize(out);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * 1024));
}
BENCHMARK(BM_CipherDecrypt1KiB);

}  // namespace
}  // namespace tarvo

BENCHMARK_MAIN();
