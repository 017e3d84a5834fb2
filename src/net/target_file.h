#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace tarvo {

// The file a download writes into: created (or emptied) at the target path itself, and
// removed again unless the download commits it, so a failed download never leaves a
// partial file. Failures are thrown as HttpInterfaceError values. Used by one thread.
class TargetFile {
 public:
  // Creates or truncates `path` (UTF-8). With `createFolders`, missing folders along
  // the path are made first. Throws kHttpErrorCreateFile.
  TargetFile(const std::string& path, bool createFolders);
  // Removes the file unless Commit succeeded.
  ~TargetFile();
  TargetFile(const TargetFile&) = delete;
  TargetFile& operator=(const TargetFile&) = delete;

  // Appends bytes; a short write (a full disk) throws kHttpErrorCreateFile.
  void Write(std::string_view data);
  // Flushes and closes the file, which then stays. Throws kHttpErrorCreateFile.
  void Commit();

 private:
  struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };

  std::string path_;
  std::unique_ptr<std::FILE, FileCloser> file_;
  bool committed_ = false;
};

}  // namespace tarvo
