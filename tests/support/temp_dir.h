#pragma once

#include <filesystem>

namespace tarvo::test {

// A fresh folder under the system's temporary folder, removed with everything in it
// when the object goes away.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // Writes `content` to `relative` (creating parent folders) and returns the full path.
  std::filesystem::path WriteFile(const std::filesystem::path& relative, std::string_view content) const;

 private:
  std::filesystem::path path_;
};

}  // namespace tarvo::test
