#include "support/mounted_folder.h"

#include <sys/mount.h>

#include <fstream>
#include <string>

namespace tarvo::test {

namespace {
constexpr char kFiller[] = "filler";
}  // namespace

std::unique_ptr<MountedFolder> MountedFolder::SmallDisk(const std::filesystem::path& folder, int megabytes) {
  std::filesystem::create_directories(folder);
  const std::string options = "size=" + std::to_string(megabytes) + "m,mode=0700";
  if (::mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) != 0) return nullptr;
  return std::unique_ptr<MountedFolder>(new MountedFolder(folder, megabytes));
}

std::unique_ptr<MountedFolder> MountedFolder::ReadOnly(const std::filesystem::path& folder) {
  if (::mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) != 0) return nullptr;
  std::unique_ptr<MountedFolder> mounted(new MountedFolder(folder, 0));
  // A bind mount takes the read-only flag only when mounted again.
  if (::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0) return nullptr;
  return mounted;
}

MountedFolder::~MountedFolder() { ::umount2(folder_.c_str(), MNT_DETACH); }

void MountedFolder::FillUp() const {
  std::ofstream filler(folder_ / kFiller, std::ios::binary);
  const std::string block(64 * 1024, 'f');
  for (int i = 0; i < (megabytes_ + 1) * 16 && filler.write(block.data(), block.size()).flush(); ++i) {
  }
}

void MountedFolder::MakeRoom() const { std::filesystem::remove(folder_ / kFiller); }

}  // namespace tarvo::test
