#include "platform/seconds_override.h"

#include <charconv>
#include <cstdlib>
#include <cstring>

namespace tarvo {

std::chrono::milliseconds SecondsOverride::Parse(const char* seconds) {
  if (seconds == nullptr) return {};
  const char* end = seconds + std::strlen(seconds);
  long long value = 0;
  const auto [stop, error] = std::from_chars(seconds, end, value);
  if (error != std::errc() || stop != end || value <= 0 || value > 24 * 3600) return {};
  return std::chrono::seconds(value);
}

std::chrono::milliseconds SecondsOverride::Read(const char* variable) { return Parse(std::getenv(variable)); }

}  // namespace tarvo
