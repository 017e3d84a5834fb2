#pragma once
// The desktop's handling of downloaded files: "show in folder" asks the file manager
// to select the file (org.freedesktop.FileManager1 ShowItems on the session bus) and
// opens the folder instead where no file manager answers; "open" hands the file to
// the desktop's default application.
//
// GUI thread only; the bus call does not block it. Lifetime: start-up installs one
// with the download manager.
#include <functional>

#include <QDBusConnection>
#include <QString>

#include "downloads/i_download_desktop.h"

namespace tarvo {

class DesktopFiles : public IDownloadDesktop {
 public:
  bool ShowInFolder(const WString& path) override;
  bool Open(const WString& path) override;

  // The file manager's call alone, on `bus`; `answered` hears (on the GUI thread)
  // whether a file manager took it. False when the bus is not connected (nothing is
  // called).
  static bool AskFileManager(QDBusConnection bus, const QString& path, std::function<void(bool taken)> answered);
};

}  // namespace tarvo
