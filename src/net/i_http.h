#pragma once

#include <cstdint>

#include "net/http_interface_error.h"
#include "net/i_http_callback.h"

namespace tarvo {

// State shared by every HTTP client: the progress callback with its context value and
// the last error. A second, non-virtual base of each client class; used by the one
// thread that drives the client.
class IHttp {
 protected:
  void StoreCallback(IHttpCallback* callback, uint32_t context) {
    callback_ = callback;
    context_ = context;
  }
  void ReportProgress(int32_t state, double total, double done) const {
    if (callback_ != nullptr) {
      callback_->OnDownloadProgress(context_, state, total, done);
    }
  }
  bool CancelRequested() const { return callback_ != nullptr && callback_->IsCancelled(); }

  uint32_t context_ = 0;
  HttpInterfaceError error_ = kHttpErrorNone;
  IHttpCallback* callback_ = nullptr;  // not owned
};

}  // namespace tarvo
