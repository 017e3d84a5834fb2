#pragma once

#include "platform/text.h"

namespace tarvo {

// One entry of a VPN node list, as the service describes it, with the ciphered "ip"
// and "area" already decrypted. "status" is passed through unused. A value type.
struct VpnNode {
  WString id;
  WString countryId;
  WString country;
  WString ip;
  WString area;
  WString port;
  WString status;
};

}  // namespace tarvo
