#include "downloads/validator_probe.h"

#include <limits>

#include "net/curl_transfer.h"
#include "net/http_header.h"
#include "net/http_interface_error.h"
#include "net/http_url.h"
#include "net/i_http_callback.h"

namespace tarvo {

namespace {

constexpr uint32_t kProbeStallMs = 15000;

// Ends the probe when its owner stops.
class StopCallback : public IHttpCallback {
 public:
  explicit StopCallback(std::stop_token stop) : stop_(std::move(stop)) {}
  void OnDownloadProgress(uint32_t, int32_t, double, double) override {}
  bool IsCancelled() override { return stop_.stop_requested(); }

 private:
  std::stop_token stop_;
};

}  // namespace

WString ValidatorProbe::FromHead(const CHttpHeader& head) {
  const bool ranges = head.status() == 206 || head.Field("Accept-Ranges").find("bytes") != std::string::npos;
  if (!ranges || (head.status() != 200 && head.status() != 206)) return WString();
  const std::string etag = head.Field("ETag");
  // A weak ETag does not promise the same bytes, so it cannot validate a range.
  if (!etag.empty() && !etag.starts_with("W/")) return Utf8ToWide(etag);
  return Utf8ToWide(head.Field("Last-Modified"));
}

WString ValidatorProbe::Fetch(const WString& url, const RequestRoute& route, std::stop_token stop) {
  const std::optional<HttpUrl> address = HttpUrl::Parse(WStringView(url));
  if (!address) return WString();
  CurlTransferSetup setup;
  setup.url = &*address;
  setup.extraHeaders = "Range: bytes=0-0";
  // A server without ranges announces the whole file, of any size: only the head is
  // read, and a server that sends nothing is given up after the stall limit.
  setup.limits.stallMs = kProbeStallMs;
  setup.limits.maxDownloadBytes = std::numeric_limits<uint64_t>::max();
  setup.route = route;
  StopCallback callback(std::move(stop));
  setup.callback = &callback;
  WString validator;
  try {
    // The head says everything; the body is not wanted.
    CurlTransfer::Run(
        setup,
        [&](const CHttpHeader& head) {
          validator = FromHead(head);
          throw kHttpErrorCancelled;
        },
        [](std::string_view) {});
  } catch (HttpInterfaceError) {
  }
  return validator;
}

}  // namespace tarvo
