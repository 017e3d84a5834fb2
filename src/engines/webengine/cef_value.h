#pragma once

#include "engines/webengine/cef_dictionary_value.h"

namespace tarvo::cef {

enum cef_value_type_t { VTYPE_NULL = 1, VTYPE_STRING = 5, VTYPE_DICTIONARY = 7 };

// One preference value: nothing, a text or a dictionary.
// Threads: a plain value; one thread at a time.
class CefValue {
 public:
  static CefRefPtr<CefValue> Create() { return std::make_shared<CefValue>(); }

  cef_value_type_t GetType() const { return type_; }
  CefString GetString() const { return type_ == VTYPE_STRING ? string_ : CefString(); }
  CefRefPtr<CefDictionaryValue> GetDictionary() const { return type_ == VTYPE_DICTIONARY ? dictionary_ : nullptr; }
  bool SetString(const CefString& value) {
    type_ = VTYPE_STRING;
    string_ = value;
    dictionary_ = nullptr;
    return true;
  }
  // False (and no change) for nullptr.
  bool SetDictionary(CefRefPtr<CefDictionaryValue> value) {
    if (value == nullptr) {
      return false;
    }
    type_ = VTYPE_DICTIONARY;
    dictionary_ = std::move(value);
    string_.clear();
    return true;
  }

 private:
  cef_value_type_t type_ = VTYPE_NULL;
  CefString string_;
  CefRefPtr<CefDictionaryValue> dictionary_;
};

}  // namespace tarvo::cef
