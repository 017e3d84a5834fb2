#pragma once

#include <curl/curl.h>

#include <memory>

namespace tarvo {

// Owners of libcurl's C handles.
struct CurlEasyDeleter {
  void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct CurlSlistDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using CurlEasyHandle = std::unique_ptr<CURL, CurlEasyDeleter>;
using CurlHeaderList = std::unique_ptr<curl_slist, CurlSlistDeleter>;

// A fresh easy handle (null when libcurl cannot make one). Initialises libcurl once per
// process on first use; any thread.
CurlEasyHandle MakeCurlEasyHandle();

}  // namespace tarvo
