#pragma once

#include <string>

#include "platform/text.h"

namespace tarvo {

// Small per-user string values (the chosen language, a downloaded update) that must
// survive restarts. They live in one JSON file, "registry.json", in the per-user
// configuration folder, grouped by key path ("Software\TarvoBrowser") and value name.
//
// Threads and processes: every write is a read-modify-write under an exclusive lock
// file, followed by an atomic replace (temporary file, fsync, rename), so two browser
// processes writing different values at once both keep theirs, and a crash mid-write
// leaves either the old file or the new one. Reads take no lock: they always see a
// whole file.
class PerUserRegistry {
 public:
  // The value, or an empty string when the file, key or value is missing, unreadable
  // or not a string. The text ends at its first NUL, like a registry string.
  static WString ReadString(WStringView keyPath, WStringView valueName);

  // Stores the value, creating the folder, the file and the key as needed.
  // Returns 0, or -1 when the value could not be stored (nothing is changed then).
  static int WriteString(WStringView keyPath, WStringView valueName, WStringView text);

  // The store file's path (in the folder given by ConfigRoot()).
  static std::string StorePath();
};

}  // namespace tarvo
