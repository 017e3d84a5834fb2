#include "ui/resource_manager.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMessageBox>
#include <cstdio>

#include "ui/zip_archive.h"

namespace DuiLib {

CResourceManager& CResourceManager::Instance() {
  static CResourceManager instance;
  return instance;
}

CResourceManager::CResourceManager()
    : reporter_(&CResourceManager::LogProblem) {}

CResourceManager::~CResourceManager() = default;

void CResourceManager::SetResourcePath(const QString& folder) {
  resourcePath_ = folder;
  if (!resourcePath_.isEmpty() && !resourcePath_.endsWith(u'/') && !resourcePath_.endsWith(u'\\')) {
    resourcePath_ += u'/';
  }
  resourcePath_.replace(u'\\', u'/');
  package_.reset();
  images_.clear();
  reportedMissing_.clear();
  reportedPackage_ = false;
}

void CResourceManager::SetResourceZip(const QString& packageName) {
  packageName_ = NormalizeEntryName(packageName);
  package_.reset();
  images_.clear();
  reportedMissing_.clear();
  reportedPackage_ = false;
}

QString CResourceManager::GetPackagePath() const {
  if (packageName_.isEmpty()) {
    return QString();
  }
  return resourcePath_ + packageName_;
}

void CResourceManager::SetErrorReporter(ErrorReporter reporter) {
  reporter_ = std::move(reporter);
}

void CResourceManager::ReportError(const QString& message) {
  if (reporter_) {
    reporter_(message);
  }
}

QString CResourceManager::NormalizeEntryName(const QString& name) {
  QString n = name.trimmed();
  n.replace(u'\\', u'/');
  while (n.startsWith(QLatin1String("./"))) {
    n.remove(0, 2);
  }
  while (n.startsWith(u'/')) {
    n.remove(0, 1);
  }
  return n;
}

std::optional<QByteArray> CResourceManager::ReadRaw(const QString& name, Failure failure) {
  QString error;
  std::optional<QByteArray> data;
  bool packageUnreadable = false;
  const QString plain = name.trimmed();
  if (plain.startsWith(u'/')) {
    // An absolute path: a file the program made itself (cached icons, QR pictures).
    // Names written with '\\' are always package names, even with a leading one.
    QFile file(plain);
    if (file.open(QIODevice::ReadOnly)) {
      data = file.readAll();
    } else {
      error = QStringLiteral("cannot read \"%1\": %2").arg(plain, file.errorString());
    }
  } else if (!packageName_.isEmpty()) {
    CZipArchive& archive = Package();
    if (archive.IsOpen()) {
      data = archive.Read(NormalizeEntryName(plain));
    } else {
      packageUnreadable = true;
    }
    error = archive.Error();
  } else {
    QFile file(resourcePath_ + NormalizeEntryName(plain));
    if (file.open(QIODevice::ReadOnly)) {
      data = file.readAll();
    } else {
      error = QStringLiteral("cannot read \"%1\": %2").arg(file.fileName(), file.errorString());
    }
  }
  if (!data && failure != Failure::kSilent && !reportedMissing_.contains(name)) {
    reportedMissing_.insert(name);
    if (failure == Failure::kReport && !(packageUnreadable && reportedPackage_)) {
      reportedPackage_ = reportedPackage_ || packageUnreadable;
      ReportError(error);
    } else {
      LogProblem(error);
    }
  }
  return data;
}

std::optional<QByteArray> CResourceManager::ReadFile(const QString& name) {
  if (name.trimmed().isEmpty()) {
    return std::nullopt;
  }
  return ReadRaw(name, Failure::kReport);
}

CZipArchive& CResourceManager::Package() {
  const QString path = GetPackagePath();
  if (package_ == nullptr || !package_->IsOpen() || package_->Path() != path || !package_->IsCurrent()) {
    package_ = std::make_unique<CZipArchive>(path);
  }
  return *package_;
}

void CResourceManager::ShowErrorBox(const QString& message) {
  LogProblem(message);
  // The message names files of the package: shown as they are, never as markup.
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Error"), message, QMessageBox::Ok);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

void CResourceManager::LogProblem(const QString& message) {
  std::fprintf(stderr, "skin: %s\n", message.toLocal8Bit().constData());
}

QPixmap CResourceManager::GetImage(const QString& name, qreal devicePixelRatio) {
  if (name.trimmed().isEmpty()) {
    return QPixmap();
  }
  const bool hiDpi = devicePixelRatio >= 1.5;
  QString key = (hiDpi ? QStringLiteral("2x:") : QStringLiteral("1x:")) + name;
  const QString plain = name.trimmed();
  if (plain.startsWith(u'/')) {
    // Files on disk are the program's own (cached icons, QR codes) and get rewritten
    // under the same name, so their stamp is part of the key.
    const QFileInfo info(plain);
    key += QStringLiteral("|%1|%2").arg(info.lastModified().toMSecsSinceEpoch()).arg(info.size());
  }
  const auto cached = images_.constFind(key);
  if (cached != images_.constEnd()) {
    return cached.value();
  }
  QPixmap pixmap;
  if (hiDpi) {
    const int dot = name.lastIndexOf(u'.');
    if (dot > 0) {
      const QString hiName = name.left(dot) + QStringLiteral("@2x") + name.mid(dot);
      if (auto hiData = ReadRaw(hiName, Failure::kSilent)) {
        QImage image = QImage::fromData(*hiData);
        if (!image.isNull()) {
          pixmap = QPixmap::fromImage(std::move(image));
          pixmap.setDevicePixelRatio(2.0);
        }
      }
    }
  }
  if (pixmap.isNull()) {
    if (auto data = ReadRaw(name, Failure::kLog)) {
      QImage image = QImage::fromData(*data);
      if (image.isNull() && !reportedMissing_.contains(name)) {
        reportedMissing_.insert(name);
        LogProblem(QStringLiteral("image \"%1\" cannot be decoded").arg(name));
      }
      pixmap = QPixmap::fromImage(std::move(image));
    }
  }
  // Failures are kept too, so a missing picture costs one read, not one per paint.
  images_.insert(key, pixmap);
  return pixmap;
}

}  // namespace DuiLib
