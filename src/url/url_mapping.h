#pragma once

#include "platform/text.h"

namespace tarvo {

// The result of routing a URL through the protected-site list. When nothing is
// mapped, source and target both equal the input and `mapped` is false.
struct UrlMapping {
  WString source;  // the protected site's own address (shown to the user)
  WString target;  // the address actually loaded
  bool mapped = false;
};

}  // namespace tarvo
