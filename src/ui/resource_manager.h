#pragma once
// Where skin files and images come from: the skin package (a ZIP kept open between reads
// and opened again once the file on disk is another one, so a package replaced on disk
// is picked up), or a plain folder when no package is set, or an absolute path on disk.
// Decoded images are kept by name.
//
// Threads: GUI thread only (images are QPixmaps); nothing here is locked.
#include <QByteArray>
#include <QHash>
#include <QPixmap>
#include <QSet>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace DuiLib {

class CZipArchive;

class CResourceManager {
 public:
  using ErrorReporter = std::function<void(const QString& message)>;

  // The one instance, created on first use; lives until the process ends.
  // Process-wide by design: one skin package serves every window.
  static CResourceManager& Instance();

  // The folder the package name is relative to; a '/' is appended when missing.
  void SetResourcePath(const QString& folder);
  const QString& GetResourcePath() const { return resourcePath_; }
  // The package file relative to the resource path ("skin/normal.dat"); empty reads
  // entries straight from the resource folder. Clears the image cache.
  void SetResourceZip(const QString& packageName);
  QString GetPackagePath() const;

  // Reads a file: an absolute path from disk, anything else from the package (or the
  // resource folder). '\' and '/' are both accepted as separators. On failure the error
  // goes to the error reporter once per name and nullopt is returned.
  std::optional<QByteArray> ReadFile(const QString& name);

  // The decoded image, from cache or freshly read; a null pixmap when it can't be had
  // (a missing picture is logged once on standard error, never shown to the user).
  // On a high-density screen an "@2x" entry beside the file is preferred when present.
  QPixmap GetImage(const QString& name, qreal devicePixelRatio = 1.0);
  void ClearImageCache() { images_.clear(); }

  // Replaces how errors are shown (default: one line on standard error). The browser
  // installs a message box here; tests install a collector.
  void SetErrorReporter(ErrorReporter reporter);
  // A reporter for the running browser: the message on standard error and in a
  // warning box titled "Error" (GUI thread; blocks until dismissed).
  static void ShowErrorBox(const QString& message);
  void ReportError(const QString& message);

  // Normalises an entry name: '\' to '/', no leading "./" or '/' for package entries.
  static QString NormalizeEntryName(const QString& name);

 private:
  enum class Failure { kReport, kLog, kSilent };
  CResourceManager();
  ~CResourceManager();
  std::optional<QByteArray> ReadRaw(const QString& name, Failure failure);
  static void LogProblem(const QString& message);
  // The open package, opened (again) when none is open yet or the file changed. Opening
  // reads the whole directory of entries, which a window's first paint would otherwise
  // pay once per picture.
  CZipArchive& Package();

  QString resourcePath_;
  QString packageName_;
  std::unique_ptr<CZipArchive> package_;
  QHash<QString, QPixmap> images_;
  QSet<QString> reportedMissing_;
  // The package itself could not be opened and the user was told once: every other
  // file of it fails for the same reason and is only logged.
  bool reportedPackage_ = false;
  ErrorReporter reporter_;
};

}  // namespace DuiLib
