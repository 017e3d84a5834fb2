#include "skin_zip_writer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <zip.h>

bool SkinZipWriter::Write(const QString& path, QString* error) const {
  const QString temp = path + QStringLiteral(".part");
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile::remove(temp);
  int code = 0;
  zip_t* archive = zip_open(QFile::encodeName(temp).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
  if (archive == nullptr) {
    *error = QStringLiteral("cannot create %1 (libzip error %2)").arg(temp).arg(code);
    return false;
  }
  for (const auto& [name, data] : entries_) {
    // The buffer is copied by libzip only at zip_close, so it must stay alive until then;
    // entries_ outlives the archive here.
    zip_source_t* source = zip_source_buffer(archive, data.constData(), static_cast<zip_uint64_t>(data.size()), 0);
    if (source == nullptr || zip_file_add(archive, name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8) < 0) {
      if (source != nullptr) zip_source_free(source);
      *error = QStringLiteral("cannot add %1: %2").arg(name, QString::fromLocal8Bit(zip_strerror(archive)));
      zip_discard(archive);
      QFile::remove(temp);
      return false;
    }
  }
  if (zip_close(archive) != 0) {
    *error = QStringLiteral("cannot write %1: %2").arg(temp, QString::fromLocal8Bit(zip_strerror(archive)));
    zip_discard(archive);
    QFile::remove(temp);
    return false;
  }
  QFile::remove(path);
  if (!QFile::rename(temp, path)) {
    *error = QStringLiteral("cannot move %1 to %2").arg(temp, path);
    return false;
  }
  return true;
}
