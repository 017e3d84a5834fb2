#include "scratch_database.h"

#include <cstdio>
#include <cstdlib>

namespace tarvo::bench {

ScratchFolder::ScratchFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tarvo-bench-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    std::perror("mkdtemp");
    std::exit(1);
  }
  path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void OpenUpgraded(UserDatabase& database, const ScratchFolder& folder, const std::string& name) {
  if (database.OpenFile(folder.File(name)) != 0 || database.Upgrade() != 0) {
    std::fprintf(stderr, "cannot create the benchmark database: %s\n", database.OpenError().c_str());
    std::exit(1);
  }
}

}  // namespace tarvo::bench
