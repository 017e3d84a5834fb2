// Node lists and update announcements from the service: the "data" of a node-list
// reply, taken whole or not at all, and release numbers, compared consistently.
#include <json/json.h>

#include "account/vpn_node_list.h"
#include "fuzz_support.h"
#include "update/version_number.h"

using tarvo::VersionNumber;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text = tarvo::fuzz::AsText(data, size);
  Json::CharReaderBuilder builder;
  const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  Json::Value value;
  std::string errors;
  try {
    if (reader->parse(text.data(), text.data() + text.size(), &value, &errors)) {
      (void)tarvo::VpnNodeList::Read(value);
      (void)tarvo::VpnNodeList::Read(value["data"]);
    }
  } catch (const Json::Exception&) {
    // the reader's own depth limit; not what is tested here
  }

  // Two release numbers, one a line: comparing is antisymmetric.
  const size_t newline = text.find('\n');
  const std::optional<VersionNumber> first = VersionNumber::Parse(text.substr(0, newline));
  const std::optional<VersionNumber> second =
      VersionNumber::Parse(newline == std::string_view::npos ? std::string_view() : text.substr(newline + 1));
  if (first && second) {
    const int forward = first->Compare(*second);
    const int backward = second->Compare(*first);
    if ((forward < 0) != (backward > 0) || (forward == 0) != (backward == 0) || first->Compare(*first) != 0) {
      tarvo::fuzz::Fail("release numbers compare inconsistently");
    }
  }
  return 0;
}
