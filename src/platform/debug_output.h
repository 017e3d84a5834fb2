#pragma once

#include <string_view>

namespace tarvo {

// Short diagnostic texts ("http error code:404", "protect domain ...") for people
// debugging the browser. They go to standard error only when TARVO_DEBUG is set, so
// an ordinary session stays quiet. Any thread.
void DebugOutput(std::string_view text);

}  // namespace tarvo
