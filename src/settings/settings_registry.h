#pragma once

#include <map>

#include "platform/text.h"

namespace tarvo {

// The process-wide table of fixed configuration values ("app/apiurl",
// "appdata/cache", "homepage" ...), keys ordered by code unit.
//
// Threads: filled by InitSettings on the first thread before any other thread
// starts; read-only, and so safe to read from any thread, afterwards.
class SettingsRegistry {
 public:
  // The one registry, created empty on first call (make that call on the first
  // thread) and never destroyed. Process-wide by design: the settings are the
  // process's own (folders, brand, service address), read before any profile exists.
  static SettingsRegistry& Instance();

  // A copy of the stored value, or an empty string when the key is absent; never
  // adds the key.
  WString Get(WStringView key) const;
  // UTF-8 convenience for the network and database boundaries.
  std::string GetUtf8(WStringView key) const;

  // Inserts the key or replaces its value. Only start-up (InitSettings) and tests
  // call this.
  void Set(WStringView key, WStringView value);

  // Forgets every value (tests that fill the registry more than once).
  void ClearForTesting();

 private:
  SettingsRegistry() = default;

  std::map<WString, WString, std::less<>> values_;
};

}  // namespace tarvo
