#pragma once

#include <cstdint>

namespace tarvo {

// Progress and cancellation hooks a caller may hand to IHttpBase::SetDownloadCallBack.
// Called on the thread that runs the download; the object must outlive the client's
// operations.
class IHttpCallback {
 public:
  // Progress states passed to OnDownloadProgress.
  static constexpr int32_t kStateReceiving = 0;
  static constexpr int32_t kStateComplete = 2;

  // `state` is kStateReceiving while data arrives and kStateComplete once the
  // announced length has been reached; `total` is 0 when no length was announced.
  virtual void OnDownloadProgress(uint32_t context, int32_t state, double total, double done) = 0;
  // Polled before every receive of a download; true aborts it with error 11.
  virtual bool IsCancelled() = 0;

 protected:
  ~IHttpCallback() = default;
};

}  // namespace tarvo
