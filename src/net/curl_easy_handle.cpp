#include "net/curl_easy_handle.h"

namespace tarvo {

CurlEasyHandle MakeCurlEasyHandle() {
  // Thread-safe one-time start of libcurl; it stays up for the life of the process.
  static const bool started = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  if (!started) {
    return CurlEasyHandle();
  }
  return CurlEasyHandle(curl_easy_init());
}

}  // namespace tarvo
