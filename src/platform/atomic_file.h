#pragma once
// Writing a whole file so that a reader or a crash never meets it half-written: the
// text goes to a temporary file beside it, reaches the disk, and is renamed over
// the old one. Any thread; two writers of one path must not overlap.
#include <string>

namespace tarvo {

class AtomicFile {
 public:
  // Replaces `path` with `text` (created readable by the user only). False, with
  // the old file untouched and no temporary left, when any step fails (a missing
  // folder, a full disk).
  static bool Replace(const std::string& path, const std::string& text);
};

}  // namespace tarvo
