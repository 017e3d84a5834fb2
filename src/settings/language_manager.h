#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <json/value.h>

#include "platform/text.h"

namespace tarvo {

// The interface texts of the current language, looked up by key ("download/total").
// Language packs are JSON objects (comments allowed) with an "id" naming the
// language; they are read once from the language folder, and the user's choice is
// remembered in the per-user store as "language". Until the user chooses, the
// browser speaks the desktop's language (the installed pack that matches it, else
// the first pack) and stores nothing, so it follows the desktop when that changes.
//
// Threads: initialisation and SetLanguage run on the first thread. GetText and
// GetLanguageCode may run on any thread: the current pack is replaced as a whole,
// fully parsed, under mutex_, so a reader sees the old pack or the new one.
class LanguageManager {
 public:
  // The process-wide manager; the first call loads the packs from the settings value
  // "app/lang" and chooses the language (make it on the first thread). Process-wide
  // by design: the interface speaks one language in every window.
  static LanguageManager& Instance();

  // A manager over the packs below `folder` using the per-user store under
  // `registryKey`; chooses the language like Instance, with `desktopTags` (language
  // tags, most wanted first, as DesktopLocale gives them) standing for the desktop's
  // languages. For tests and tools.
  LanguageManager(const std::string& folder, WString registryKey, const std::vector<std::string>& desktopTags = {});

  // The current pack's text for `key`; empty when the key is missing or not a string.
  WString GetText(WStringView key) const;

  // The current language name. When none is chosen yet, adopts the stored choice if
  // that pack is installed; otherwise empty.
  WString GetCurrentLanguage();

  // Makes an installed language current and remembers the choice. 0, or -1 (and
  // nothing changes) when no such pack is installed.
  int SetLanguage(const WString& name);

  // Installed language names in ascending order.
  std::vector<WString> GetLanguageNames() const;

  // "zh-cn", "en", "th" ... for the current language; "en" for unknown names.
  WString GetLanguageCode() const;

  // "LangPic/<CN|EN|TH|VN>/" + fileName: a picture inside the skin package.
  WString GetLanguagePicture(WStringView fileName) const;

  // The language tag of the current language ("zh-CN", "en-US"; "en-US" for unknown
  // names): the engine's own interface language and the conventions dates and
  // numbers are written in.
  std::string GetLocaleTag() const;
  // What every engine sends as Accept-Language for the current language, in every
  // window alike: "en-US,en;q=0.9", "zh-CN,zh;q=0.9".
  std::string GetAcceptLanguage() const;

 private:
  void LoadPacks(const std::string& folder);
  // The installed pack that speaks the first of `tags` one can: the same tag, else
  // the same language (the first such pack by name); empty when none does.
  WString MatchDesktop(const std::vector<std::string>& tags) const;
  // Makes an installed language current without remembering it; false when no such
  // pack is installed.
  bool Install(const WString& name);
  static std::shared_ptr<const Json::Value> ParsePack(const std::string& text);
  WString CurrentName() const;

  const WString registryKey_;
  std::map<WString, std::string> packs_;  // language name → the file's whole text
  mutable std::mutex mutex_;              // guards currentName_ and currentPack_
  WString currentName_;
  std::shared_ptr<const Json::Value> currentPack_;
};

}  // namespace tarvo
