#pragma once

#include <curl/curl.h>

#include <type_traits>

namespace tarvo {

// libcurl, opened by the first transfer rather than with the program. Linked, it and
// the libraries it brings (TLS, LDAP, SSH, RTMP, name encodings) were loaded and
// relocated before main() on every start, on the thread that then starts the
// engine; opened here, that work happens once, on the first transfer's own thread.
class CurlLibrary {
 public:
  // The library, opened and started by the first caller (any thread); null where it
  // cannot be, with the reason written out once.
  static const CurlLibrary* Opened();

  CURL* EasyInit() const { return easyInit_(); }
  void EasyCleanup(CURL* handle) const { easyCleanup_(handle); }
  void EasyReset(CURL* handle) const { easyReset_(handle); }
  CURLcode Perform(CURL* handle) const { return easyPerform_(handle); }
  // libcurl reads an option's value by the option's kind: a long, a curl_off_t or a
  // pointer. Anything else (an int, an enum, a bool) would be read as garbage.
  template <typename Value>
  CURLcode SetOption(CURL* handle, CURLoption option, Value value) const {
    static_assert(std::is_same_v<Value, long> || std::is_same_v<Value, curl_off_t> || std::is_pointer_v<Value> ||
                      std::is_null_pointer_v<Value>,
                  "libcurl reads an option as a long, a curl_off_t or a pointer");
    return easySetopt_(handle, option, value);
  }
  curl_slist* SlistAppend(curl_slist* list, const char* line) const { return slistAppend_(list, line); }
  void SlistFreeAll(curl_slist* list) const { slistFreeAll_(list); }
  CURLSH* ShareInit() const { return shareInit_(); }
  // A share option's value is a callback, a pointer or a curl_lock_data.
  template <typename Value>
  CURLSHcode ShareOption(CURLSH* share, CURLSHoption option, Value value) const {
    static_assert(std::is_pointer_v<Value> || std::is_same_v<Value, curl_lock_data>,
                  "libcurl reads a share option as a pointer or a curl_lock_data");
    return shareSetopt_(share, option, value);
  }

 private:
  // Finds every function and starts the library; complete_ says whether it did.
  CurlLibrary();

  bool complete_ = false;

  CURLcode (*globalInit_)(long) = nullptr;
  CURL* (*easyInit_)() = nullptr;
  void (*easyCleanup_)(CURL*) = nullptr;
  void (*easyReset_)(CURL*) = nullptr;
  CURLcode (*easyPerform_)(CURL*) = nullptr;
  CURLcode (*easySetopt_)(CURL*, CURLoption, ...) = nullptr;
  curl_slist* (*slistAppend_)(curl_slist*, const char*) = nullptr;
  void (*slistFreeAll_)(curl_slist*) = nullptr;
  CURLSH* (*shareInit_)() = nullptr;
  CURLSHcode (*shareSetopt_)(CURLSH*, CURLSHoption, ...) = nullptr;
};

}  // namespace tarvo
