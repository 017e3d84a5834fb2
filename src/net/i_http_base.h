#pragma once

#include <cstdint>

#include "net/http_interface_error.h"
#include "net/i_http_callback.h"
#include "platform/text.h"

namespace tarvo {

// The root interface of the HTTP clients made by CreateInstance. Every operation is
// blocking and runs on the calling thread; an object is used by one thread at a time
// and released with FreeInstance (never with delete).
class IHttpBase {
 public:
  // Stores the progress callback (may be null; not owned) and the context value
  // passed back to it.
  virtual void SetDownloadCallBack(IHttpCallback* callback, uint32_t context) = 0;
  // GETs `url` into the file `filePath`. On failure no partial file is left behind
  // and GetErrorCode says why.
  virtual bool DownloadFile(const WString& url, const WString& filePath) = 0;
  // GETs `url` into a heap buffer the caller releases with free(). On failure the
  // outputs are set to null and 0.
  virtual bool DownloadToMem(const WString& url, uint8_t** outBuffer, uint32_t* outLength) = 0;
  // Destroys the object; it must not be used afterwards.
  virtual void FreeInstance() = 0;
  // The error of the last operation (kHttpErrorNone after a success).
  virtual HttpInterfaceError GetErrorCode() = 0;

 protected:
  ~IHttpBase() = default;
};

}  // namespace tarvo
