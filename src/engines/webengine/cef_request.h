#pragma once

#include <map>

#include "engines/webengine/cef_string.h"
#include "engines/webengine/cef_types.h"

namespace tarvo::cef {

// One navigation or resource request as the callbacks see it. The header map holds
// the headers the handler wants added; this engine does not disclose the headers it
// adds itself.
// Threads: engine UI thread only.
class CefRequest {
 public:
  using HeaderMap = std::multimap<CefString, CefString>;

  CefRequest(CefString url, CefString method) : url_(std::move(url)), method_(std::move(method)) {}

  const CefString& GetURL() const { return url_; }
  const CefString& GetMethod() const { return method_; }
  void GetHeaderMap(HeaderMap& headers) const { headers = headers_; }
  void SetHeaderMap(const HeaderMap& headers) { headers_ = headers; }

 private:
  CefString url_;
  CefString method_;
  HeaderMap headers_;
};

}  // namespace tarvo::cef
