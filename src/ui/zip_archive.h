#pragma once
// Owns one open libzip archive handle; the only place that opens or closes one.
#include <sys/stat.h>

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>

struct zip;

namespace DuiLib {

class CZipArchive {
 public:
  // Opens `path` read-only. On failure IsOpen() is false and Error() says why.
  explicit CZipArchive(const QString& path);
  ~CZipArchive();
  CZipArchive(const CZipArchive&) = delete;
  CZipArchive& operator=(const CZipArchive&) = delete;

  bool IsOpen() const { return archive_ != nullptr; }
  const QString& Path() const { return path_; }
  // Whether the file now at Path() is still the one opened: false once it was replaced
  // or rewritten (another inode, size or modification time), when the open handle would
  // read a directory that no longer matches the file.
  bool IsCurrent() const;
  const QString& Error() const { return error_; }

  // Reads an entry whole; names compare without regard to case. nullopt with Error()
  // set when the entry is missing or damaged.
  std::optional<QByteArray> Read(const QString& entryName);

 private:
  zip* archive_ = nullptr;
  QString path_;
  struct stat opened_ {};
  QString error_;
};

}  // namespace DuiLib
