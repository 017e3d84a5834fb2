#include "net/statement_text.h"

#include <algorithm>
#include <tuple>

namespace tarvo {

namespace {

void AddField(std::string& text, std::string_view name, std::string_view value) {
  text.append(name);
  text += '=';
  text += std::to_string(value.size());
  text += ':';
  text.append(value);
  text += '\n';
}

// The fields both versions of the announcement sign, in their order.
void AddAnnouncementFields(std::string& text, std::string_view brand, std::string_view version,
                           std::string_view installerUrl, uint64_t size, std::string_view sha256) {
  AddField(text, "brand", brand);
  AddField(text, "version", version);
  AddField(text, "url", installerUrl);
  AddField(text, "size", std::to_string(size));
  AddField(text, "sha256", sha256);
}

}  // namespace

std::string StatementText::VersionAnnouncement(std::string_view brand, std::string_view version,
                                               std::string_view installerUrl, uint64_t size,
                                               std::string_view sha256) {
  std::string text = "tarvo signed statement 1: version announcement\n";
  AddAnnouncementFields(text, brand, version, installerUrl, size, sha256);
  return text;
}

std::string StatementText::MirrorMap(std::string_view maxTime, std::vector<MirrorMapEntry> entries) {
  const auto key = [](const MirrorMapEntry& e) { return std::tie(e.id, e.action, e.targetStatus, e.source, e.target); };
  std::sort(entries.begin(), entries.end(),
            [&](const MirrorMapEntry& a, const MirrorMapEntry& b) { return key(a) < key(b); });
  std::string text = "tarvo signed statement 1: mirror map\n";
  AddField(text, "max_time", maxTime);
  AddField(text, "entries", std::to_string(entries.size()));
  for (const MirrorMapEntry& entry : entries) {
    AddField(text, "id", std::to_string(entry.id));
    AddField(text, "action", std::to_string(entry.action));
    AddField(text, "target_status", std::to_string(entry.targetStatus));
    AddField(text, "source", entry.source);
    AddField(text, "target", entry.target);
  }
  return text;
}

std::string StatementText::VersionAnnouncement2(std::string_view brand, std::string_view version,
                                                std::string_view installerUrl, uint64_t size,
                                                std::string_view sha256, int64_t issuedAt) {
  std::string text = "tarvo signed statement 2: version announcement\n";
  AddAnnouncementFields(text, brand, version, installerUrl, size, sha256);
  AddField(text, "issued_at", std::to_string(issuedAt));
  return text;
}

std::string StatementText::MirrorMap2(const MirrorMapTimes& times, const std::vector<MirrorMapSite>& sites) {
  // Each site's block stands alone; the blocks sorted make the order of the reply
  // irrelevant, however many sites share an id.
  std::vector<std::string> blocks;
  blocks.reserve(sites.size());
  for (const MirrorMapSite& site : sites) {
    std::string block;
    AddField(block, "id", std::to_string(site.id));
    AddField(block, "action", std::to_string(site.action));
    AddField(block, "source_id", std::to_string(site.sourceId));
    AddField(block, "source_status", std::to_string(site.sourceStatus));
    AddField(block, "source", site.source);
    AddField(block, "target_id", std::to_string(site.targetId));
    AddField(block, "target_status", std::to_string(site.targetStatus));
    AddField(block, "target", site.target);
    AddField(block, "isauth", site.isAuth ? "1" : "0");
    AddField(block, "issign", site.isSign ? "1" : "0");
    AddField(block, "isensure", site.isEnsure ? "1" : "0");
    AddField(block, "authicons", std::to_string(site.authIcons.size()));
    for (const std::string& icon : site.authIcons) {
      AddField(block, "authicon", icon);
    }
    AddField(block, "signgrade", site.signGrade);
    AddField(block, "signgrade_en", site.signGradeEn);
    AddField(block, "signcode", site.signCode);
    AddField(block, "signdesc", site.signDesc);
    AddField(block, "signdesc_en", site.signDescEn);
    AddField(block, "ensure", site.ensure);
    AddField(block, "ensure_en", site.ensureEn);
    blocks.push_back(std::move(block));
  }
  std::sort(blocks.begin(), blocks.end());
  std::string text = "tarvo signed statement 2: mirror map\n";
  AddField(text, "issued_at", std::to_string(times.issuedAt));
  AddField(text, "latest_time", std::to_string(times.latestTime));
  AddField(text, "max_time", times.maxTime);
  AddField(text, "entries", std::to_string(blocks.size()));
  for (const std::string& block : blocks) {
    text += block;
  }
  return text;
}

}  // namespace tarvo
