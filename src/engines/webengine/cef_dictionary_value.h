#pragma once

#include <map>

#include "engines/webengine/cef_string.h"
#include "engines/webengine/cef_types.h"

namespace tarvo::cef {

// A dictionary of text values, the form engine preferences take.
// Threads: a plain value; one thread at a time.
class CefDictionaryValue {
 public:
  static CefRefPtr<CefDictionaryValue> Create() { return std::make_shared<CefDictionaryValue>(); }

  size_t GetSize() const { return strings_.size(); }
  bool HasKey(const CefString& key) const { return strings_.count(key) != 0; }
  // The text under key, or an empty text.
  CefString GetString(const CefString& key) const {
    auto it = strings_.find(key);
    return it != strings_.end() ? it->second : CefString();
  }
  bool SetString(const CefString& key, const CefString& value) {
    strings_[key] = value;
    return true;
  }

 private:
  std::map<CefString, CefString> strings_;
};

}  // namespace tarvo::cef
