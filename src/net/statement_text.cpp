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

}  // namespace

std::string StatementText::VersionAnnouncement(std::string_view brand, std::string_view version,
                                               std::string_view installerUrl, uint64_t size,
                                               std::string_view sha256) {
  std::string text = "tarvo signed statement 1: version announcement\n";
  AddField(text, "brand", brand);
  AddField(text, "version", version);
  AddField(text, "url", installerUrl);
  AddField(text, "size", std::to_string(size));
  AddField(text, "sha256", sha256);
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

}  // namespace tarvo
