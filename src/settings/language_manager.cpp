#include "settings/language_manager.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include <json/reader.h>

#include "settings/desktop_locale.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "platform/per_user_registry.h"

namespace tarvo {

namespace {

constexpr char16_t kLanguageValue[] = u"language";

// What the program needs to know of each language it may meet in a pack's "id".
struct LanguageFacts {
  const char16_t* name;
  const char16_t* code;     // in service requests and web addresses
  const char16_t* picture;  // the picture folder inside the skin package
  const char* tag;          // the language tag (locale) of its speakers
};

constexpr std::array<LanguageFacts, 8> kKnownLanguages{{{u"china", u"zh-cn", u"CN", "zh-CN"},
                                                         {u"hongkong", u"zh-tw", u"EN", "zh-TW"},
                                                         {u"indonesia", u"id", u"EN", "id-ID"},
                                                         {u"japan", u"ja", u"EN", "ja-JP"},
                                                         {u"korea", u"ko", u"EN", "ko-KR"},
                                                         {u"thailand", u"th", u"TH", "th-TH"},
                                                         {u"usa", u"en", u"EN", "en-US"},
                                                         {u"vietnam", u"vi", u"VN", "vi-VN"}}};

constexpr LanguageFacts kUnknownLanguage{u"", u"en", u"EN", "en-US"};

// The facts of a known language; nullptr for any other name.
const LanguageFacts* KnownLanguage(WStringView name) {
  for (const LanguageFacts& facts : kKnownLanguages) {
    if (name == facts.name) return &facts;
  }
  return nullptr;
}

const LanguageFacts& FactsOf(WStringView name) {
  const LanguageFacts* known = KnownLanguage(name);
  return known != nullptr ? *known : kUnknownLanguage;
}

std::string ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Entries in name order, so that which of two packs with the same id wins does not
// depend on the file system's listing order.
std::vector<std::filesystem::directory_entry> SortedEntries(const std::string& folder) {
  std::vector<std::filesystem::directory_entry> entries;
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    entries.push_back(*it);
  }
  std::sort(entries.begin(), entries.end(),
            [](const auto& a, const auto& b) { return a.path().filename() < b.path().filename(); });
  return entries;
}

}  // namespace

LanguageManager& LanguageManager::Instance() {
  static LanguageManager* manager = new LanguageManager(
      SettingsRegistry::Instance().GetUtf8(SettingsKeys::kLanguageFolder),
      u"Software\\" + SettingsRegistry::Instance().Get(SettingsKeys::kRegistryKey), DesktopLocale::FromEnvironment());
  return *manager;
}

LanguageManager::LanguageManager(const std::string& folder, WString registryKey,
                                 const std::vector<std::string>& desktopTags)
    : registryKey_(std::move(registryKey)) {
  LoadPacks(folder);
  if (const WString chosen = GetCurrentLanguage(); !chosen.empty() && Install(chosen)) return;
  // Nothing is stored here: a stored choice whose pack is missing or broken stays
  // for when the pack is back, and without a choice the next start asks the desktop
  // again.
  const WString desktop = MatchDesktop(desktopTags);
  if (!desktop.empty() && Install(desktop)) return;
  if (!packs_.empty()) Install(packs_.begin()->first);
}

WString LanguageManager::MatchDesktop(const std::vector<std::string>& tags) const {
  for (const std::string& tag : tags) {
    const std::string language = DesktopLocale::LanguageOf(tag);
    WString sameLanguage;
    for (const auto& [name, text] : packs_) {
      // A pack of a language the program does not know speaks no desktop's language.
      const LanguageFacts* known = KnownLanguage(name);
      if (known == nullptr) continue;
      const std::string packTag = known->tag;
      if (packTag == tag) return name;
      if (sameLanguage.empty() && DesktopLocale::LanguageOf(packTag) == language) sameLanguage = name;
    }
    if (!sameLanguage.empty()) return sameLanguage;
  }
  return {};
}

std::shared_ptr<const Json::Value> LanguageManager::ParsePack(const std::string& text) {
  Json::CharReaderBuilder builder;
  builder["allowComments"] = true;
  builder["collectComments"] = false;
  std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  auto root = std::make_shared<Json::Value>();
  std::string errors;
  try {
    // JsonCpp throws on some inputs (nesting past its depth limit, for example);
    // such a pack is as unusable as one that does not parse.
    if (!reader->parse(text.data(), text.data() + text.size(), root.get(), &errors)) {
      return nullptr;
    }
  } catch (const std::exception&) {
    return nullptr;
  }
  if (!root->isObject() || !(*root)["id"].isString()) {
    return nullptr;
  }
  return root;
}

void LanguageManager::LoadPacks(const std::string& folder) {
  for (const auto& entry : SortedEntries(folder)) {
    const std::string name = entry.path().filename().string();
    std::error_code error;
    if (entry.is_directory(error)) {
      if (!name.empty() && name[0] != '.') {
        LoadPacks(entry.path().string());
      }
      continue;
    }
    std::string text = ReadWholeFile(entry.path());
    if (const auto pack = ParsePack(text)) {
      packs_.insert_or_assign(Utf8ToWide((*pack)["id"].asString()), std::move(text));
    }
  }
}

WString LanguageManager::CurrentName() const {
  std::lock_guard lock(mutex_);
  return currentName_;
}

WString LanguageManager::GetText(WStringView key) const {
  std::shared_ptr<const Json::Value> pack;
  {
    std::lock_guard lock(mutex_);
    pack = currentPack_;
  }
  if (!pack) {
    return {};
  }
  const std::string name = WideToUtf8(key);
  const Json::Value* value = pack->find(name.data(), name.data() + name.size());
  return value != nullptr && value->isString() ? Utf8ToWide(value->asString()) : WString();
}

WString LanguageManager::GetCurrentLanguage() {
  if (WString current = CurrentName(); !current.empty()) {
    return current;
  }
  const WString stored = PerUserRegistry::ReadString(registryKey_, kLanguageValue);
  if (stored.empty() || packs_.count(stored) == 0) {
    return {};
  }
  std::lock_guard lock(mutex_);
  currentName_ = stored;
  return stored;
}

bool LanguageManager::Install(const WString& name) {
  const auto found = packs_.find(name);
  if (found == packs_.end()) {
    return false;
  }
  auto pack = ParsePack(found->second);
  if (!pack) {
    return false;
  }
  std::lock_guard lock(mutex_);
  currentPack_ = std::move(pack);
  currentName_ = name;
  return true;
}

int LanguageManager::SetLanguage(const WString& name) {
  if (!Install(name)) {
    return -1;
  }
  PerUserRegistry::WriteString(registryKey_, kLanguageValue, name);
  return 0;
}

std::vector<WString> LanguageManager::GetLanguageNames() const {
  std::vector<WString> names;
  for (const auto& [name, text] : packs_) {
    names.push_back(name);
  }
  return names;
}

WString LanguageManager::GetLanguageCode() const { return FactsOf(CurrentName()).code; }

WString LanguageManager::GetLanguagePicture(WStringView fileName) const {
  return u"LangPic/" + WString(FactsOf(CurrentName()).picture) + u"/" + WString(fileName);
}

std::string LanguageManager::GetLocaleTag() const { return FactsOf(CurrentName()).tag; }

std::string LanguageManager::GetAcceptLanguage() const {
  const std::string tag = GetLocaleTag();
  const std::string language = DesktopLocale::LanguageOf(tag);
  return language == tag ? tag : tag + "," + language + ";q=0.9";
}

}  // namespace tarvo
