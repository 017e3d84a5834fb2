#include "platform/folder_cleaner.h"

#include <filesystem>
#include <system_error>

namespace tarvo {

void DeleteFolderFiles(const std::string& folder) {
  std::error_code error;
  std::filesystem::directory_iterator it(folder, error);
  for (std::filesystem::directory_iterator end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (name.empty() || name[0] == '.') {
      continue;
    }
    std::error_code entryError;
    if (it->is_symlink(entryError)) {
      std::filesystem::remove(it->path(), entryError);
    } else if (it->is_directory(entryError)) {
      DeleteFolderFiles(it->path().string());
    } else {
      std::filesystem::remove(it->path(), entryError);
    }
  }
}

}  // namespace tarvo
