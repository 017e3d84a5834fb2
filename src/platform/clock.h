#pragma once

#include <cstdint>

namespace tarvo {

// Seconds since 1970-01-01 UTC, 64-bit so it never wraps. Any thread.
int64_t NowSeconds();

}  // namespace tarvo
