#pragma once

#include "net/curl_client.h"
#include "net/i_win_http.h"

namespace tarvo {

// The download client, on libcurl: bodies are read in 1 MiB blocks, an in-memory
// download needs a Content-Length, and the three time-outs (5000 ms each unless
// SetTimeOut changes them) bound connecting and each wait for data. "https://"
// addresses are fetched over verified TLS. Made by CreateInstance (kind 2); one thread
// at a time, released with FreeInstance.
class CWinHttp final : public CurlClient<IWinHttp> {
 public:
  static constexpr size_t kBlock = 1024 * 1024;
  static constexpr uint32_t kDefaultTimeoutMs = 5000;

  CWinHttp();
  ~CWinHttp() override = default;

  void SetTimeOut(uint32_t connectMs, uint32_t sendMs, uint32_t receiveMs) override;
};

}  // namespace tarvo
