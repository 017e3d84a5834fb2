#pragma once

#include <cstdint>

namespace tarvo {

// Last error of an HTTP client (GetErrorCode). The clients throw these values inside
// an operation and catch them before returning, so none ever leaves a client.
enum HttpInterfaceError : int32_t {
  kHttpErrorNone = 0,
  kHttpErrorOpenHandle = 1,         // session or request could not be opened
  kHttpErrorConnect = 2,            // connection to the host failed (or refused address)
  kHttpErrorSend = 3,               // sending the request failed
  kHttpErrorHeader = 4,             // response headers or content length unreadable
  kHttpErrorNotFound = 5,           // not found, or too many redirects
  kHttpErrorEmptyDownloadUrl = 6,   // empty URL given to a download
  kHttpErrorCreateFile = 7,         // target file could not be created or written
  kHttpErrorReadBody = 8,           // body read failed, or ended short of / past its length
  kHttpErrorResolve = 9,            // host name lookup failed
  kHttpErrorSocket = 10,            // socket creation or a receive failed
  kHttpErrorCancelled = 11,         // IHttpCallback::IsCancelled answered true
  kHttpErrorBadLength = 12,         // announced length 0 or above the limit (in-memory socket download)
  kHttpErrorNoHeaderEnd = 13,       // no end of header (in-memory socket download)
  kHttpErrorEmptyRequestUrl = 14,   // empty URL given to Request
};

}  // namespace tarvo
