#pragma once

#include <cstdint>
#include <functional>

namespace tarvo::service {

// Seconds since 1970 as the service sees them. Production uses NowSeconds; tests
// install a clock they can move forward to expire tokens and connection time.
using ServiceClock = std::function<int64_t()>;

}  // namespace tarvo::service
