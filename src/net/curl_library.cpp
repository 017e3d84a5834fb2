#include "net/curl_library.h"

#include <string>

#include "platform/runtime_library.h"
#include "platform/warning_output.h"

namespace tarvo {

namespace {

// The shared-object name of libcurl's ABI since 7.16 (OpenSSL flavour: Debian's
// libcurl4 and libcurl4t64).
constexpr const char* kCurlSoname = "libcurl.so.4";

}  // namespace

const CurlLibrary* CurlLibrary::Opened() {
  static const CurlLibrary library;
  return library.complete_ ? &library : nullptr;
}

CurlLibrary::CurlLibrary() {
  RuntimeLibrary library(kCurlSoname);
  const bool found = library.opened() && library.Find("curl_global_init", globalInit_) &&
                     library.Find("curl_easy_init", easyInit_) && library.Find("curl_easy_cleanup", easyCleanup_) &&
                     library.Find("curl_easy_reset", easyReset_) && library.Find("curl_easy_perform", easyPerform_) &&
                     library.Find("curl_easy_setopt", easySetopt_) && library.Find("curl_slist_append", slistAppend_) &&
                     library.Find("curl_slist_free_all", slistFreeAll_) &&
                     library.Find("curl_share_init", shareInit_) && library.Find("curl_share_setopt", shareSetopt_);
  if (!found) {
    WarningOutput("network: " + library.error() + "; nothing can be fetched over HTTP");
    return;
  }
  // Once per process, before the first handle; it stays up until the process ends.
  const CURLcode started = globalInit_(CURL_GLOBAL_DEFAULT);
  if (started != CURLE_OK) {
    WarningOutput("network: libcurl did not start (code " + std::to_string(started) +
                  "); nothing can be fetched over HTTP");
    return;
  }
  complete_ = true;
}

}  // namespace tarvo
