#include "platform/debug_output.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace tarvo {

void DebugOutput(std::string_view text) {
  static const bool enabled = std::getenv("TARVO_DEBUG") != nullptr;
  if (!enabled) {
    return;
  }
  // One write per text, so lines of different threads don't interleave mid-line.
  std::string line(text);
  if (line.empty() || line.back() != '\n') {
    line += '\n';
  }
  std::fwrite(line.data(), 1, line.size(), stderr);
}

}  // namespace tarvo
