#include "installer_digests.h"

#include "net/file_digest.h"

namespace tarvo::service {

InstallerDigests::Entry InstallerDigests::Of(const std::string& path) const {
  std::error_code error;
  Entry current;
  current.size = std::filesystem::file_size(path, error);
  if (!error) current.modified = std::filesystem::last_write_time(path, error);
  if (error) return {};
  {
    std::lock_guard lock(mutex_);
    const auto found = cache_.find(path);
    if (found != cache_.end() && found->second.size == current.size && found->second.modified == current.modified) {
      return found->second;
    }
  }
  current.digest = FileSha256(path);
  if (!current.digest.empty()) {
    std::lock_guard lock(mutex_);
    cache_[path] = current;
  }
  return current;
}

}  // namespace tarvo::service
