#pragma once

#include "net/curl_client.h"
#include "net/i_wininet_http.h"

namespace tarvo {

// The service's text-request client, on libcurl: every call opens a fresh session,
// text bodies are read in 4096-byte blocks and downloads in blocks of up to 8 MiB, a
// 404 answer is error 5, missing folders along a download's path are made. "https://"
// addresses are fetched over verified TLS. Made by CreateInstance (kind 1); one thread
// at a time, released with FreeInstance.
class CWininetHttp final : public CurlClient<IWininetHttp> {
 public:
  static constexpr size_t kTextBlock = 4096;
  static constexpr size_t kDownloadBlock = 8 * 1024 * 1024;

  CWininetHttp() : CurlClient(CurlClientProfile{"Http-connect", kTextBlock, kDownloadBlock, true, false, true}) {}
  ~CWininetHttp() override = default;
};

}  // namespace tarvo
