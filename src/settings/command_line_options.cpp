#include "settings/command_line_options.h"

namespace tarvo {

CommandLineOptions CommandLineOptions::Parse(const std::vector<std::string>& arguments) {
  CommandLineOptions options;
  for (size_t i = 1; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "-noupdate") {
      options.checkUpdates = false;
    } else if (argument == "-url") {
      if (i + 1 < arguments.size()) {
        options.startUrls.push_back(Utf8ToWide(arguments[++i]));
        options.checkUpdates = false;
      }
    } else if (argument == "-newwindow") {
      options.newWindow = true;
    } else if (argument == "-setasdefault") {
      options.setDefault = true;
    } else {
      options.startUrls.push_back(Utf8ToWide(argument));
      options.checkUpdates = false;
    }
  }
  return options;
}

}  // namespace tarvo
