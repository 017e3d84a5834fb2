#include "platform/per_user_registry.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <json/json.h>

#include "platform/atomic_file.h"
#include "platform/paths.h"

namespace tarvo {

namespace {

constexpr const char* kStoreName = "registry.json";

// An open file descriptor closed on scope exit.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) {
      close(fd_);
    }
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

// Parses the store; a missing, unreadable or malformed file reads as empty, and
// `malformed` tells the writer to keep the unreadable file aside before replacing it.
Json::Value LoadStore(const std::string& path, bool* malformed = nullptr) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    return Json::Value(Json::objectValue);
  }
  if (malformed != nullptr) {
    *malformed = true;
  }
  std::stringstream text;
  text << in.rdbuf();
  Json::CharReaderBuilder builder;
  Json::Value root;
  std::string errors;
  const std::string content = text.str();
  std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  try {
    if (!reader->parse(content.data(), content.data() + content.size(), &root, &errors) || !root.isObject()) {
      return Json::Value(Json::objectValue);
    }
  } catch (const std::exception&) {
    return Json::Value(Json::objectValue);
  }
  if (malformed != nullptr) {
    *malformed = false;
  }
  return root;
}

// Writes the whole store beside the old one and renames it over, so a reader or a
// crash never meets a half-written file.
bool ReplaceStore(const std::string& path, const Json::Value& root) {
  Json::StreamWriterBuilder builder;
  builder["indentation"] = " ";
  return AtomicFile::Replace(path, Json::writeString(builder, root) + "\n");
}

}  // namespace

std::string PerUserRegistry::StorePath() { return ConfigRoot() + kStoreName; }

WString PerUserRegistry::ReadString(WStringView keyPath, WStringView valueName) {
  const Json::Value root = LoadStore(StorePath());
  const std::string keyName = WideToUtf8(keyPath);
  const std::string name = WideToUtf8(valueName);
  if (!root.isMember(keyName) || !root[keyName].isObject()) {
    return {};
  }
  const Json::Value& value = root[keyName][name];
  if (!value.isString()) {
    return {};
  }
  const std::string text = value.asString();
  return Utf8ToWide(std::string_view(text.c_str()));  // up to the first NUL
}

int PerUserRegistry::WriteString(WStringView keyPath, WStringView valueName, WStringView text) {
  if (!CreatePrivateFolders(ConfigRoot())) {
    return -1;
  }
  const std::string path = StorePath();
  FileDescriptor lock(open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
  if (!lock.valid()) {
    return -1;
  }
  while (flock(lock.get(), LOCK_EX) != 0) {
    if (errno != EINTR) {
      return -1;
    }
  }
  bool malformed = false;
  Json::Value root = LoadStore(path, &malformed);
  if (malformed) {
    // Whatever damaged the file, its bytes stay inspectable instead of being lost.
    rename(path.c_str(), (path + ".bad").c_str());
  }
  const std::string keyName = WideToUtf8(keyPath);
  if (!root[keyName].isObject()) {
    root[keyName] = Json::Value(Json::objectValue);
  }
  root[keyName][WideToUtf8(valueName)] = WideToUtf8(text);
  const bool stored = ReplaceStore(path, root);
  flock(lock.get(), LOCK_UN);
  return stored ? 0 : -1;
}

}  // namespace tarvo
