#pragma once

#include <string>
#include <vector>

namespace tarvo {

// The languages the desktop asks programs to speak, read from the environment the
// way gettext reads it: each entry of LANGUAGE (a list such as "zh_CN:en"), then the
// effective message locale, the first set of LC_ALL, LC_MESSAGES and LANG. Each one
// comes back as a language tag ("en_US.UTF-8@euro" gives "en-US"); "C" and "POSIX"
// name no language and are left out.
//
// Threads: any (reads the environment, which the program does not change).
class DesktopLocale {
 public:
  // The tags of the running process's environment, most wanted first.
  static std::vector<std::string> FromEnvironment();
  // The same for given values (an empty value is unset).
  static std::vector<std::string> FromValues(const std::string& language, const std::string& lcAll,
                                             const std::string& lcMessages, const std::string& lang);
  // "en_US.UTF-8@euro" -> "en-US", "zh_cn" -> "zh-CN", "de" -> "de"; empty for "C",
  // "POSIX" and anything that is not a locale name.
  static std::string TagOf(const std::string& localeName);
  // The language part of a tag: "en-US" -> "en".
  static std::string LanguageOf(const std::string& tag);
};

}  // namespace tarvo
