#pragma once

#include "net/i_wininet_http.h"

namespace tarvo {

// The download client's interface: the text-request client plus adjustable time-outs.
class IWinHttp : public IWininetHttp {
 public:
  // Time-outs in milliseconds for connecting, sending and waiting for data; 0 keeps
  // the default bound, so no request can wait forever.
  virtual void SetTimeOut(uint32_t connectMs, uint32_t sendMs, uint32_t receiveMs) = 0;

 protected:
  ~IWinHttp() = default;
};

}  // namespace tarvo
