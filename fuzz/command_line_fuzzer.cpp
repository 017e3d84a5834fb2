// The browser's command line: the input's zero bytes separate the arguments.
#include "fuzz_support.h"
#include "settings/command_line_options.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> arguments{"tarvo-browser"};
  for (const std::string_view part : tarvo::fuzz::SplitAt(tarvo::fuzz::AsText(data, size), '\0')) {
    arguments.emplace_back(part);
  }
  const tarvo::CommandLineOptions options = tarvo::CommandLineOptions::Parse(arguments);
  if (options.startUrls.size() >= arguments.size()) {
    tarvo::fuzz::Fail("more addresses than arguments");
  }
  return 0;
}
