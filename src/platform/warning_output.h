#pragma once

#include <string_view>

namespace tarvo {

// One line on standard error that whoever runs the browser must see, whatever
// TARVO_DEBUG says: a refused statement from the network, an insecure setting. Any
// thread.
void WarningOutput(std::string_view text);

}  // namespace tarvo
