#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "net/http_header.h"
#include "net/i_http_callback.h"
#include "net/request_route.h"
#include "net/transfer_limits.h"

namespace tarvo {

class HttpUrl;

// What one libcurl request looks like.
struct CurlTransferSetup {
  const HttpUrl* url = nullptr;  // not owned
  bool post = false;
  const char* postData = nullptr;  // sent only with post; may be null
  std::string extraHeaders;        // request header lines separated by "\r\n"
  const char* userAgent = "";
  size_t blockSize = 16384;  // largest piece of body handed over at a time
  TransferLimits limits;
  // Text requests are bounded as a whole; downloads only by their lack of progress.
  bool boundWholeRequest = false;
  IHttpCallback* callback = nullptr;  // asked IsCancelled while data flows; not owned
  // Through a proxy (also for addresses the environment's no_proxy names), or, with
  // none, libcurl's choice from the environment.
  RequestRoute route;
};

// Runs one HTTP(S) request on a libcurl easy handle: TLS 1.2 or later with
// certificate and host-name verification against the system's trust store (plus the
// brand's authorities for the service's own host, see ServiceTrust), no compressed
// encodings (nothing can inflate a body), redirects
// followed up to ten hops (never from HTTPS back to plain HTTP). Responses that libcurl
// would accept but that are broken fail: a head cut off, a head over 64 KiB, two
// different Content-Length values. Runs on the calling thread, on the handle a
// CurlHandleLease gives it: a direct request's connection serves the thread's next one.
class CurlTransfer {
 public:
  using HeadCheck = std::function<void(const CHttpHeader&)>;
  using BodySink = std::function<void(std::string_view)>;

  // Performs the request: `checkHead` sees the final response's head before any of
  // its body, `sink` receives the body. Either may throw an HttpInterfaceError, which
  // ends the transfer and is rethrown. Failures are thrown as HttpInterfaceError.
  static void Run(const CurlTransferSetup& setup, const HeadCheck& checkHead, const BodySink& sink);
};

}  // namespace tarvo
