#pragma once
// Owns one open libzip archive handle; the only place that opens or closes one.
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
  const QString& Error() const { return error_; }

  // Reads an entry whole; names compare without regard to case. nullopt with Error()
  // set when the entry is missing or damaged.
  std::optional<QByteArray> Read(const QString& entryName);

 private:
  zip* archive_ = nullptr;
  QString error_;
};

}  // namespace DuiLib
