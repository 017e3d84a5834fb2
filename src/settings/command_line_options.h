#pragma once

#include <string>
#include <vector>

#include "platform/text.h"

namespace tarvo {

// What the browser's command line asks for. Options are matched exactly and
// case-sensitively; anything else is an address to open.
struct CommandLineOptions {
  bool checkUpdates = true;         // false once any address or "-noupdate" is given
  bool setDefault = false;          // "-setasdefault": open the default-browser settings and exit
  bool newWindow = false;           // "-newwindow": the addresses (or the home page) in a new window
  std::vector<WString> startUrls;   // addresses to open, each in its own tab, in order

  // Parses the argument vector; arguments[0] (the program) is ignored. "-url" takes
  // the next argument as an address; a "-url" in last position does nothing.
  static CommandLineOptions Parse(const std::vector<std::string>& arguments);
};

}  // namespace tarvo
