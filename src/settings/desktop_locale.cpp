#include "settings/desktop_locale.h"

#include <algorithm>
#include <cstdlib>

namespace tarvo {

namespace {

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool IsLetters(const std::string& text) { return !text.empty() && std::all_of(text.begin(), text.end(), IsLetter); }

// Territories are letters ("US") or UN M.49 digits ("419").
bool IsTerritory(const std::string& text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return IsLetter(c) || (c >= '0' && c <= '9'); });
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return text;
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  return text;
}

void AddOnce(std::vector<std::string>& tags, const std::string& tag) {
  if (!tag.empty() && std::find(tags.begin(), tags.end(), tag) == tags.end()) tags.push_back(tag);
}

}  // namespace

std::vector<std::string> DesktopLocale::FromEnvironment() {
  return FromValues(Variable("LANGUAGE"), Variable("LC_ALL"), Variable("LC_MESSAGES"), Variable("LANG"));
}

std::vector<std::string> DesktopLocale::FromValues(const std::string& language, const std::string& lcAll,
                                                   const std::string& lcMessages, const std::string& lang) {
  std::vector<std::string> tags;
  for (size_t start = 0; start <= language.size();) {
    const size_t colon = std::min(language.find(':', start), language.size());
    AddOnce(tags, TagOf(language.substr(start, colon - start)));
    start = colon + 1;
  }
  // Only the first that is set decides the message locale; the later ones are
  // overridden by it, not consulted after it.
  for (const std::string* value : {&lcAll, &lcMessages, &lang}) {
    if (value->empty()) continue;
    AddOnce(tags, TagOf(*value));
    break;
  }
  return tags;
}

std::string DesktopLocale::TagOf(const std::string& localeName) {
  // language[_territory][.codeset][@modifier]
  const std::string name = localeName.substr(0, localeName.find_first_of(".@"));
  const size_t underscore = name.find_first_of("_-");
  const std::string language = name.substr(0, underscore);
  const std::string territory = underscore == std::string::npos ? std::string() : name.substr(underscore + 1);
  if (!IsLetters(language) || language.size() > 3 || (underscore != std::string::npos && !IsTerritory(territory))) {
    return {};
  }
  // "C" is one letter and "POSIX" five, so neither passes as a language.
  if (language.size() < 2) return {};
  return territory.empty() ? Lower(language) : Lower(language) + "-" + Upper(territory);
}

std::string DesktopLocale::LanguageOf(const std::string& tag) { return tag.substr(0, tag.find('-')); }

}  // namespace tarvo
