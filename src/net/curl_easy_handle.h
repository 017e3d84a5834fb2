#pragma once

#include <curl/curl.h>

#include <memory>

#include "net/curl_library.h"

namespace tarvo {

// Owners of libcurl's C handles (which exist only once the library is open).
struct CurlEasyDeleter {
  void operator()(CURL* handle) const { CurlLibrary::Opened()->EasyCleanup(handle); }
};
struct CurlSlistDeleter {
  void operator()(curl_slist* list) const { CurlLibrary::Opened()->SlistFreeAll(list); }
};
using CurlEasyHandle = std::unique_ptr<CURL, CurlEasyDeleter>;
using CurlHeaderList = std::unique_ptr<curl_slist, CurlSlistDeleter>;

// A fresh easy handle (null when libcurl cannot be opened or cannot make one). Opens
// libcurl on first use; any thread.
CurlEasyHandle MakeCurlEasyHandle();

}  // namespace tarvo
