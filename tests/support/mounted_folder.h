#pragma once

#include <filesystem>
#include <memory>

namespace tarvo::test {

// A folder with another file system mounted on it for one test: a small empty disk,
// or the folder itself again, read-only. Unmounted when the object goes. Mounting
// needs root; the makers return nullptr where it is refused, and the test skips.
class MountedFolder {
 public:
  static std::unique_ptr<MountedFolder> SmallDisk(const std::filesystem::path& folder, int megabytes);
  static std::unique_ptr<MountedFolder> ReadOnly(const std::filesystem::path& folder);
  ~MountedFolder();
  MountedFolder(const MountedFolder&) = delete;
  MountedFolder& operator=(const MountedFolder&) = delete;

  // Small disk only: writes one file until the disk takes no more, and removes it.
  void FillUp() const;
  void MakeRoom() const;

 private:
  MountedFolder(std::filesystem::path folder, int megabytes) : folder_(std::move(folder)), megabytes_(megabytes) {}

  std::filesystem::path folder_;
  int megabytes_;
};

}  // namespace tarvo::test
