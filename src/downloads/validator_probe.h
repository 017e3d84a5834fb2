#pragma once

#include <stop_token>

#include "net/request_route.h"
#include "platform/text.h"

namespace tarvo {

class CHttpHeader;

// Learns what a later Range request for a download needs: the server's validator
// for the file. The engine does not tell its downloads' response headers, so the
// browser asks the server itself, once, for the file's first byte.
// Threads: any; Fetch blocks (bounded by the transfer limits).
class ValidatorProbe {
 public:
  // The validator for If-Range (a strong ETag, else the Last-Modified date); empty
  // when the server offers no byte ranges or no validator, or cannot be reached, or
  // `stop` was requested.
  static WString Fetch(const WString& url, const RequestRoute& route, std::stop_token stop = {});
  // The same from an answer's head (200 or 206).
  static WString FromHead(const CHttpHeader& head);
};

}  // namespace tarvo
