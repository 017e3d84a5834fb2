#include "settings/language_manager.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include <json/reader.h>

#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "platform/per_user_registry.h"

namespace tarvo {

namespace {

constexpr char16_t kLanguageValue[] = u"language";

const std::map<WString, WString>& LanguageCodes() {
  static const auto* codes = new std::map<WString, WString>{
      {u"china", u"zh-cn"}, {u"hongkong", u"zh-tw"}, {u"indonesia", u"id"}, {u"japan", u"ja"},
      {u"korea", u"ko"},    {u"thailand", u"th"},    {u"usa", u"en"},       {u"vietnam", u"vi"}};
  return *codes;
}

const std::map<WString, WString>& PictureFolders() {
  static const auto* folders =
      new std::map<WString, WString>{{u"china", u"CN"}, {u"thailand", u"TH"}, {u"usa", u"EN"}, {u"vietnam", u"VN"}};
  return *folders;
}

WString Lookup(const std::map<WString, WString>& table, const WString& name, const WString& fallback) {
  const auto found = table.find(name);
  return found == table.end() ? fallback : found->second;
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
      SettingsRegistry::Instance().GetUtf8(SettingsKeys::kLanguageFolder), u"Software\\" + SettingsRegistry::Instance().Get(SettingsKeys::kRegistryKey));
  return *manager;
}

LanguageManager::LanguageManager(const std::string& folder, WString registryKey)
    : registryKey_(std::move(registryKey)) {
  LoadPacks(folder);
  WString name = GetCurrentLanguage();
  if (!name.empty()) {
    SetLanguage(name);
    return;
  }
  if (packs_.empty()) return;
  // A stored choice whose pack is missing or broken is kept: the browser speaks the
  // first language for now and the user's again once the pack is back.
  if (PerUserRegistry::ReadString(registryKey_, kLanguageValue).empty()) {
    SetLanguage(packs_.begin()->first);
  } else {
    Install(packs_.begin()->first);
  }
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

WString LanguageManager::GetLanguageCode() const { return Lookup(LanguageCodes(), CurrentName(), u"en"); }

WString LanguageManager::GetLanguagePicture(WStringView fileName) const {
  return u"LangPic/" + Lookup(PictureFolders(), CurrentName(), u"EN") + u"/" + WString(fileName);
}

}  // namespace tarvo
