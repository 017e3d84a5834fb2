#pragma once

#include <filesystem>
#include <string>

#include "store/user_database.h"

namespace tarvo::bench {

// A scratch folder for database benchmarks, removed with its files afterwards.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// Opens and upgrades a new database named `name` in `folder`; aborts the benchmark
// program when that fails, since nothing after it would measure anything.
void OpenUpgraded(UserDatabase& database, const ScratchFolder& folder, const std::string& name);

}  // namespace tarvo::bench
