#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "net/curl_transfer.h"
#include "net/i_http_callback.h"
#include "net/i_wininet_http.h"
#include "net/transfer_limits.h"
#include "platform/text.h"

namespace tarvo {

// How one libcurl-based client behaves where the two differ.
struct CurlClientProfile {
  const char* userAgent = "";
  size_t textBlock = 4096;      // body block of Request
  size_t downloadBlock = 4096;  // body block of the downloads
  bool requestFailsOnNotFound = false;  // a 404 answer to Request is error 5
  bool memoryNeedsLength = false;       // DownloadToMem without Content-Length is error 4
  bool createFolders = false;           // DownloadFile makes missing folders along the path
};

// The operations CWininetHttp and CWinHttp share, run on libcurl. Failures are thrown
// as HttpInterfaceError values; the clients catch and store them. A value held by one
// client and used on that client's thread.
class CurlHttpCore {
 public:
  explicit CurlHttpCore(const CurlClientProfile& profile) : profile_(profile) {}

  // One request; returns the response body (error 8 when it arrives incomplete).
  std::string Request(const WString& url, HttpRequestType type, const char* postData, const std::string& header,
                      IHttpCallback* callback) const;
  // GETs into the file at `filePath`; the file is removed again on failure. Any
  // answer of 400 or above is error 5.
  void DownloadFile(const WString& url, const WString& filePath, IHttpCallback* callback, uint32_t context) const;
  // GETs into a heap buffer handed to the caller on success.
  void DownloadToMem(const WString& url, uint8_t** outBuffer, uint32_t* outLength, IHttpCallback* callback,
                     uint32_t context) const;

  TransferLimits& limits() { return limits_; }

 private:
  // The transfer settings every download shares; `parsed` must outlive the transfer.
  CurlTransferSetup DownloadSetup(const HttpUrl& parsed, IHttpCallback* callback) const;

  CurlClientProfile profile_;
  TransferLimits limits_;
};

}  // namespace tarvo
