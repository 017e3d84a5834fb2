#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>

namespace tarvo::service {

// The sizes and SHA-256 digests of the installer files the service publishes, so the
// browser can refuse a download that is not the published file. A digest is computed once
// per file and computed again when the file's size or modification time changes (an
// operator replaced it).
//
// Threads: any; mutex_ guards the cache (a digest is computed outside the lock).
class InstallerDigests {
 public:
  struct Entry {
    uintmax_t size = 0;
    std::filesystem::file_time_type modified;
    std::string digest;  // lower-case hex; empty when the file cannot be read
  };

  // The file's size and digest (the digest empty when it cannot be read).
  Entry Of(const std::string& path) const;

 private:
  mutable std::mutex mutex_;
  mutable std::map<std::string, Entry> cache_;
};

}  // namespace tarvo::service
