// Throughput of a 256 MiB download over loopback with each client kind, side by side
// with the curl command line tool on the same server. Every program runs twice: into
// /dev/null (protocol and copying only) and into a file.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "net/http_factory.h"
#include "net/i_http_base.h"
#include "support/loopback_http_server.h"
#include "support/temp_dir.h"

namespace tarvo {
namespace {

constexpr uint64_t kSize = 256ull * 1024 * 1024;

test::LoopbackHttpServer& Server() {
  static test::LoopbackHttpServer server([](const test::ReceivedRequest&) {
    test::ScriptedReply reply;
    reply.head = "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(kSize) + "\r\n\r\n";
    reply.generatedBytes = kSize;
    return reply;
  });
  return server;
}

test::TempDir& Folder() {
  static test::TempDir folder;
  return folder;
}

void BM_ClientDownload(benchmark::State& state) {
  const auto kind = static_cast<HttpClientKind>(state.range(0));
  const WString url = Server().WideUrl("/big");
  // Into a file, as the clients are used, or into /dev/null like the curl reference.
  const WString target = Utf8ToWide(state.range(1) == 0 ? std::string("/dev/null") : (Folder().path() / "client.bin").string());
  for (auto _ : state) {
    const HttpClientPtr<IHttpBase> client = MakeHttpClient<IHttpBase>(kind);
    if (!client->DownloadFile(url, target)) {
      state.SkipWithError("download failed");
      return;
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kSize));
}
BENCHMARK(BM_ClientDownload)->ArgNames({"kind", "to_file"})->ArgsProduct({{0, 1, 2}, {0, 1}})->Iterations(3)->UseRealTime()->Unit(
    benchmark::kMillisecond);

void BM_CurlCommand(benchmark::State& state) {
  const std::string output = state.range(0) == 0 ? "/dev/null" : (Folder().path() / "curl.bin").string();
  const std::string command = "curl -s -f -o " + output + " " + Server().Url("/big");
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) {
      state.SkipWithError("curl failed (is the curl package installed?)");
      return;
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kSize));
}
BENCHMARK(BM_CurlCommand)->ArgName("to_file")->Arg(0)->Arg(1)->Iterations(3)->UseRealTime()->Unit(
    benchmark::kMillisecond);

}  // namespace
}  // namespace tarvo

BENCHMARK_MAIN();
