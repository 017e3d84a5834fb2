#pragma once

#include <string>

#include "net/i_http_base.h"

namespace tarvo {

// 1 means GET; every other value means POST (callers pass kHttpPost).
enum HttpRequestType : int32_t {
  kHttpPost = 0,
  kHttpGet = 1,
};

// The text-request client's interface, used for every service request.
class IWininetHttp : public IHttpBase {
 public:
  // Sends one request and returns the response body, or an empty string on failure
  // (GetErrorCode says why). `postData` (may be null) is sent only for POST;
  // `header` (may be null) holds extra request header lines separated by "\r\n".
  virtual std::string Request(const WString& url, HttpRequestType type, const char* postData,
                              const char16_t* header) = 0;
  // The same with a UTF-8 URL and header.
  virtual std::string Request(const std::string& url, HttpRequestType type, const char* postData,
                              const char* header) = 0;

 protected:
  ~IWininetHttp() = default;
};

}  // namespace tarvo
