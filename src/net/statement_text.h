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

// One protected site of the mirror map as statement 2 signs it: every field the
// browser stores of it, as it stores it (the flags as 0 or 1, the addresses plain,
// as the service sent them before the browser rewrites any), and the action.
struct MirrorMapSite {
  int64_t id = 0;
  int64_t action = 0;
  int64_t sourceId = 0;
  int64_t sourceStatus = 0;
  std::string source;
  int64_t targetId = 0;
  int64_t targetStatus = 0;
  std::string target;
  bool isAuth = false;
  bool isSign = false;
  bool isEnsure = false;
  std::vector<std::string> authIcons;
  std::string signGrade;
  std::string signGradeEn;
  std::string signCode;
  std::string signDesc;
  std::string signDescEn;
  std::string ensure;
  std::string ensureEn;
};

// When a mirror map of statement 2 was issued and what it answers: the time the
// service made it, the "latest_time" it lists the changes after (0: the whole list,
// which replaces what the browser has) and its "max_time", the newest change in it.
struct MirrorMapTimes {
  int64_t issuedAt = 0;
  int64_t latestTime = 0;
  std::string maxTime;
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

  // Statement 2 (issue 49), which browsers since then alone accept: the statements
  // above with the time they were issued, and the mirror map with every field the
  // browser stores of a site and the time it answers, so an older statement can be
  // told from a newer one and no stored field can be changed on the way. Statement 1
  // stays for browsers that know no other.
  static std::string VersionAnnouncement2(std::string_view brand, std::string_view version,
                                          std::string_view installerUrl, uint64_t size, std::string_view sha256,
                                          int64_t issuedAt);
  static std::string MirrorMap2(const MirrorMapTimes& times, const std::vector<MirrorMapSite>& sites);
};

}  // namespace tarvo
