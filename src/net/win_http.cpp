#include "net/win_http.h"

#include <algorithm>

namespace tarvo {

CWinHttp::CWinHttp()
    : CurlClient(CurlClientProfile{"Microsoft Internet Explorer", kBlock, kBlock, false, true, false}) {
  SetTimeOut(kDefaultTimeoutMs, kDefaultTimeoutMs, kDefaultTimeoutMs);
}

void CWinHttp::SetTimeOut(uint32_t connectMs, uint32_t sendMs, uint32_t receiveMs) {
  const TransferLimits defaults;
  TransferLimits& limits = core_.limits();
  limits.connectMs = connectMs != 0 ? connectMs : defaults.connectMs;
  // Sending and waiting for data are both "no progress" phases of a transfer.
  const uint32_t stall = std::max(sendMs, receiveMs);
  limits.stallMs = stall != 0 ? stall : defaults.stallMs;
}

}  // namespace tarvo
