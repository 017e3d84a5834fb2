#include "net/target_file.h"

#include <filesystem>
#include <system_error>

#include "net/http_interface_error.h"

namespace tarvo {

TargetFile::TargetFile(const std::string& path, bool createFolders) : path_(path) {
  if (path.empty()) {
    throw kHttpErrorCreateFile;
  }
  if (createFolders) {
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    std::error_code ignored;
    if (!parent.empty()) {
      std::filesystem::create_directories(parent, ignored);
    }
  }
  file_.reset(std::fopen(path.c_str(), "wb+"));
  if (!file_) {
    throw kHttpErrorCreateFile;
  }
}

TargetFile::~TargetFile() {
  if (!committed_) {
    file_.reset();
    // Only a partial download is removed, never a device such as /dev/null.
    std::error_code ignored;
    if (std::filesystem::is_regular_file(path_, ignored)) {
      std::filesystem::remove(path_, ignored);
    }
  }
}

void TargetFile::Write(std::string_view data) {
  if (!data.empty() && std::fwrite(data.data(), 1, data.size(), file_.get()) != data.size()) {
    throw kHttpErrorCreateFile;
  }
}

void TargetFile::Commit() {
  std::FILE* file = file_.release();
  if (std::fclose(file) != 0) {
    throw kHttpErrorCreateFile;
  }
  committed_ = true;
}

}  // namespace tarvo
