#include "downloads/windows/download_windows.h"

#include "downloads/windows/download_wnd.h"
#include "shell/commands/main_window_commands.h"
#include "shell/mainwnd/feature_commands.h"
#include "shell/mainwnd/i_browser_window.h"

namespace tarvo {

void DownloadWindows::RegisterCommands(FeatureCommands& commands) {
  commands.Register(Commands::kShowDownloads, [this](IBrowserWindow& window, const CommandArgs&) { Show(window, false); });
  commands.Register(Commands::kShowDownloadsForNewDownload,
                    [this](IBrowserWindow& window, const CommandArgs&) { Show(window, true); });
}

void DownloadWindows::Show(IBrowserWindow& window, bool autoClose) {
  if (open_ != nullptr) {
    open_->Refresh();
    if (autoClose) open_->RestartAutoClose();
    return;
  }
  const QRect button = window.ControlScreenRect(QStringLiteral("download_btn"));
  DownloadWnd list(manager_, autoClose);
  open_ = &list;
  // Right edges aligned, the list right below the button.
  list.Run(window.Handle(), QPoint(button.right(), button.bottom() + 1));
  open_ = nullptr;
}

void DownloadWindows::RequestRefresh() {
  if (refreshQueued_.exchange(true)) return;
  QMetaObject::invokeMethod(
      &anchor_,
      [this] {
        refreshQueued_ = false;
        if (open_ != nullptr) open_->Refresh();
      },
      Qt::QueuedConnection);
}

}  // namespace tarvo
