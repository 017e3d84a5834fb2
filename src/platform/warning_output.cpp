#include "platform/warning_output.h"

#include <cstdio>
#include <string>

namespace tarvo {

void WarningOutput(std::string_view text) {
  // One write per line, so lines of different threads don't interleave mid-line.
  std::string line = "tarvo-browser: ";
  line.append(text);
  if (line.back() != '\n') {
    line += '\n';
  }
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

}  // namespace tarvo
