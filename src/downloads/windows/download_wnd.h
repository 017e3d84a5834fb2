#pragma once
// The download list ("download.xml") under the main window's download button: the
// downloads newest first, running ones with pause and cancel, ended ones with show,
// open and delete; a clear button for the ended ones (and their files when the box
// is checked). It closes when it loses the focus, and after 10 seconds when a new
// download opened it.
//
// GUI thread only. Modal; the object lives on the opener's stack.
#include <functional>

#include "downloads/windows/file_type_icons.h"
#include "platform/text.h"
#include "ui/window_impl_base.h"

namespace DuiLib {
class CListUI;
}

namespace tarvo {

class DownloadManager;

class DownloadWnd : public DuiLib::WindowImplBase {
 public:
  static constexpr DuiLib::UINT kAutoCloseTimer = 1;
  static constexpr DuiLib::UINT kAutoCloseMs = 10000;

  DownloadWnd(DownloadManager& manager, bool autoClose) : manager_(manager), autoClose_(autoClose) {}

  // Runs the window modally over `owner` with its top-right corner at `topRight`;
  // returns the close code.
  int Run(DuiLib::HWND owner, QPoint topRight);
  // Brings the list up to the manager's records: rows of running downloads get
  // their new status; a row whose download ended becomes a stopped row in place; a
  // list whose downloads came or went is built again.
  void Refresh();
  // A new download while the window is open: it closes 10 seconds from now.
  void RestartAutoClose();

  void Notify(DuiLib::TNotifyUI& msg) override;

 protected:
  QString GetWindowClassName() const override { return QStringLiteral("KXDownloadWnd"); }
  QString GetSkinFile() override { return QStringLiteral("download.xml"); }
  DuiLib::LRESULT HandleCustomMessage(DuiLib::UINT uMsg, DuiLib::WPARAM wParam, DuiLib::LPARAM lParam,
                                      bool& bHandled) override;
  void OnFinalMessage(DuiLib::HWND hwnd) override;

 private:
  void Fill();
  void OnClick(const QString& name, int64_t id);
  // Runs a file action of the record; a missing file is told in a message box.
  void ActOnFile(int64_t id, bool (DownloadManager::*action)(int64_t, WString&));
  void Rebuild();

  DownloadManager& manager_;
  bool autoClose_ = false;
  bool asking_ = false;  // a message box of ours has the focus
  DuiLib::CListUI* list_ = nullptr;  // not owned: a control of this window while it exists
  DuiLib::CControlUI* empty_ = nullptr;  // the same: the line shown while the list is empty
  FileTypeIcons icons_{32};
};

}  // namespace tarvo
