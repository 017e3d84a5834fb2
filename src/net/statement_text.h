#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

// One protected site of the mirror map as it is signed: the entry's id, action and
// mirror status, and the plain (deciphered) site and mirror addresses.
struct MirrorMapEntry {
  int64_t id = 0;
  int64_t action = 0;
  int64_t targetStatus = 0;
  std::string source;
  std::string target;
};

// The exact bytes of the statements the service signs and the browser verifies, made
// in this one place for both. Each statement starts with a line naming its kind (so
// a signature over one kind never passes for another) and writes every value with
// its length in front ("url=23:https://..."), so no value can end early or spill
// into the next one, whatever bytes it holds. Any thread.
class StatementText {
 public:
  // The version announcement of a brand: version, installer address, installer size
  // and SHA-256 as they stand in the reply.
  static std::string VersionAnnouncement(std::string_view brand, std::string_view version,
                                         std::string_view installerUrl, uint64_t size, std::string_view sha256);
  // The domain list's mirror map: its "max_time" and the entries, sorted, so the
  // order in which the reply lists them does not matter.
  static std::string MirrorMap(std::string_view maxTime, std::vector<MirrorMapEntry> entries);
};

}  // namespace tarvo
