#include "downloads/windows/desktop_files.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace tarvo {

namespace {
constexpr int kFileManagerTimeoutMs = 5000;

bool OpenFolderOf(const QString& file) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(file).absolutePath()));
}
}  // namespace

bool DesktopFiles::AskFileManager(QDBusConnection bus, const QString& path, std::function<void(bool taken)> answered) {
  if (!bus.isConnected()) return false;
  const QString service = QStringLiteral("org.freedesktop.FileManager1");
  QDBusMessage call = QDBusMessage::createMethodCall(service, QStringLiteral("/org/freedesktop/FileManager1"),
                                                     service, QStringLiteral("ShowItems"));
  // The file manager takes URIs: spaces and other bytes percent-encoded.
  call << QStringList{QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded)} << QString();
  auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, kFileManagerTimeoutMs), QCoreApplication::instance());
  QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                   [answered = std::move(answered)](QDBusPendingCallWatcher* done) {
                     answered(!done->isError());
                     done->deleteLater();
                   });
  return true;
}

bool DesktopFiles::ShowInFolder(const WString& path) {
  const QString file = QString::fromStdU16String(path);
  const bool asked = AskFileManager(QDBusConnection::sessionBus(), file, [file](bool taken) {
    if (!taken) OpenFolderOf(file);
  });
  return asked || OpenFolderOf(file);
}

bool DesktopFiles::Open(const WString& path) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdU16String(path)));
}

}  // namespace tarvo
