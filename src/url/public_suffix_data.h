#pragma once

#include <cstddef>

namespace tarvo {

// One rule of the public suffix table: UTF-8 text and its byte length.
struct PublicSuffixEntry {
  const char* text;
  size_t length;
};

// Generated at build time from the system's Public Suffix List (both sections,
// wildcard and exception rules as plain text), ordered by decreasing length.
extern const PublicSuffixEntry kPublicSuffixes[];
extern const size_t kPublicSuffixCount;

}  // namespace tarvo
