#include "ui/zip_archive.h"

#include <zip.h>

namespace DuiLib {

namespace {
bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
         a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}
}  // namespace

CZipArchive::CZipArchive(const QString& path) : path_(path) {
  const QByteArray localPath = path.toLocal8Bit();
  // Taken before the open: a file replaced in between shows up as not current.
  if (::stat(localPath.constData(), &opened_) != 0) {
    opened_ = {};
  }
  int code = 0;
  archive_ = zip_open(localPath.constData(), ZIP_RDONLY, &code);
  if (archive_ == nullptr) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    error_ = QStringLiteral("cannot open skin package \"%1\": %2")
                 .arg(path, QString::fromLocal8Bit(zip_error_strerror(&error)));
    zip_error_fini(&error);
  }
}

CZipArchive::~CZipArchive() {
  if (archive_ != nullptr) {
    zip_discard(archive_);
  }
}

bool CZipArchive::IsCurrent() const {
  struct stat now {};
  return ::stat(path_.toLocal8Bit().constData(), &now) == 0 && SameFile(now, opened_);
}

std::optional<QByteArray> CZipArchive::Read(const QString& entryName) {
  if (archive_ == nullptr) {
    return std::nullopt;
  }
  const QByteArray name = entryName.toUtf8();
  const zip_int64_t index = zip_name_locate(archive_, name.constData(), ZIP_FL_NOCASE);
  if (index < 0) {
    error_ = QStringLiteral("skin package has no entry \"%1\"").arg(entryName);
    return std::nullopt;
  }
  zip_stat_t stat;
  zip_stat_init(&stat);
  if (zip_stat_index(archive_, static_cast<zip_uint64_t>(index), 0, &stat) != 0 ||
      (stat.valid & ZIP_STAT_SIZE) == 0 || stat.size > (1u << 30)) {
    error_ = QStringLiteral("skin package entry \"%1\" is unreadable").arg(entryName);
    return std::nullopt;
  }
  zip_file_t* file = zip_fopen_index(archive_, static_cast<zip_uint64_t>(index), 0);
  if (file == nullptr) {
    error_ = QStringLiteral("skin package entry \"%1\" cannot be opened: %2")
                 .arg(entryName, QString::fromLocal8Bit(zip_strerror(archive_)));
    return std::nullopt;
  }
  QByteArray data(static_cast<int>(stat.size), Qt::Uninitialized);
  const zip_int64_t got = zip_fread(file, data.data(), stat.size);
  zip_fclose(file);
  if (got < 0 || static_cast<zip_uint64_t>(got) != stat.size) {
    // A damaged entry (bad compressed data or checksum) must not pass for a short file.
    error_ = QStringLiteral("skin package entry \"%1\" is damaged").arg(entryName);
    return std::nullopt;
  }
  return data;
}

}  // namespace DuiLib
