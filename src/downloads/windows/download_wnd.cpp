#include "downloads/windows/download_wnd.h"

#include "downloads/download_manager.h"
#include "downloads/downloads_language_keys.h"
#include "downloads/windows/download_list_items.h"
#include "shell/windows/c_message_box.h"
#include "shell/windows/language_texts.h"
#include "shell/windows/windows_language_keys.h"
#include "shell/windows/modal_placement.h"
#include "ui/check_box_ui.h"
#include "ui/list_ui.h"
#include "ui/ui_notify_types.h"

namespace tarvo {

int DownloadWnd::Run(DuiLib::HWND owner, QPoint topRight) {
  return RunModalAtTopRight(*this, owner, QStringLiteral("download_dialog"), topRight);
}

void DownloadWnd::Notify(DuiLib::TNotifyUI& msg) {
  if (msg.sType == DuiLib::kNotifyWindowInit) {
    Fill();
  } else if (msg.sType == DuiLib::kNotifyClick && msg.pSender != nullptr) {
    OnClick(msg.pSender->GetName(), static_cast<int64_t>(msg.pSender->GetTag()));
  }
  WindowImplBase::Notify(msg);
}

void DownloadWnd::Fill() {
  SetLanguageToolTip(FindControl(QStringLiteral("cancel_btn")), WindowsLanguageKeys::kDialogClose);
  list_ = FindControl<DuiLib::CListUI>(QStringLiteral("download_list"));
  empty_ = FindControl(QString::fromUtf16(DownloadsLanguageKeys::kEmpty));
  for (const char16_t* key : {DownloadsLanguageKeys::kTotal, DownloadsLanguageKeys::kPause,
                              DownloadsLanguageKeys::kCancel, DownloadsLanguageKeys::kShowFile,
                              DownloadsLanguageKeys::kEmpty}) {
    SetLanguageText(FindControl(QString::fromUtf16(key)), key);
  }
  SetLanguageBackground(FindControl(QStringLiteral("download/download")), u"dl_title.png");
  SetLanguageBackground(FindControl(QStringLiteral("download/clearandremove")), u"dl_01.png");
  SetLanguageButtonImages(FindControl(QStringLiteral("download/clearbtn")), u"dl_btn01.png", u"dl_btn01_hover.png");
  SetLanguageButtonImages(FindControl(QStringLiteral("download/closebtn")), u"dl_btn02.png", u"dl_btn02_hover.png");
  for (const char16_t* key : {DownloadsLanguageKeys::kClearAndRemove, DownloadsLanguageKeys::kClearButton,
                              DownloadsLanguageKeys::kCloseButton}) {
    SetLanguageToolTip(FindControl(QString::fromUtf16(key)), key);
  }
  SetLanguageToolTip(FindControl(QStringLiteral("download/download")), DownloadsLanguageKeys::kTitle);
  Refresh();
  if (autoClose_) SetTimer(kAutoCloseTimer, kAutoCloseMs);
}

void DownloadWnd::RestartAutoClose() {
  autoClose_ = true;
  SetTimer(kAutoCloseTimer, kAutoCloseMs);
}

void DownloadWnd::OnClick(const QString& name, int64_t id) {
  if (name == QLatin1String("cancel_btn") || name == QLatin1String("download/closebtn")) {
    Close(DuiLib::IDCANCEL);
  } else if (name == QLatin1String("dlpause_btn")) {
    manager_.TogglePause(id);
  } else if (name == QLatin1String("dlcancel_btn")) {
    manager_.RequestCancel(id);
  } else if (name == QLatin1String("download/clearbtn")) {
    auto* deleteFiles = FindControl<DuiLib::CCheckBoxUI>(QStringLiteral("deletefile_check"));
    manager_.ClearStopped(deleteFiles != nullptr && deleteFiles->GetCheck());
  } else if (name == QLatin1String("dlopendir_btn")) {
    ActOnFile(id, &DownloadManager::ShowInFolder);
  } else if (name == QLatin1String("dlexecfile_btn")) {
    ActOnFile(id, &DownloadManager::OpenFile);
  } else if (name == QLatin1String("dldelfile_btn")) {
    ActOnFile(id, &DownloadManager::DeleteFileOf);
  }
}

void DownloadWnd::ActOnFile(int64_t id, bool (DownloadManager::*action)(int64_t, WString&)) {
  WString path;
  if (!(manager_.*action)(id, path)) {
    // The box takes the focus; this window must not close under it.
    asking_ = true;
    CMessageBox::Show(GetHWND(), LanguageText(DownloadsLanguageKeys::kFilePrefix) + QString::fromStdU16String(path) +
                                     LanguageText(DownloadsLanguageKeys::kNotExistsSuffix),
                      false);
    asking_ = false;
  }
  Close(DuiLib::IDOK);
}

void DownloadWnd::Refresh() {
  if (list_ == nullptr) return;
  const std::vector<DownloadRecord> records = manager_.Records();
  const int count = static_cast<int>(records.size());
  if (list_->GetCount() != count || count == 0) {
    Rebuild();
    return;
  }
  // Row i shows record count - 1 - i: the newest download first.
  for (int i = 0; i < count; ++i) {
    const DownloadRecord& record = records[static_cast<size_t>(count - 1 - i)];
    DuiLib::CControlUI* row = list_->GetItemAt(i);
    const bool running = DownloadState::IsRunning(record.state);
    const bool sameDownload = row->GetTag() == static_cast<std::intptr_t>(record.id);
    if (sameDownload && running && DownloadListItems::IsRunningRow(*row)) {
      DownloadListItems::Update(*row, record);
    } else if (!sameDownload || running || DownloadListItems::IsRunningRow(*row)) {
      auto replacement = DownloadListItems::Make(record, icons_.For(QString::fromStdU16String(record.fileName)));
      replacement->SetTag(static_cast<std::intptr_t>(record.id));
      list_->RemoveAt(i);
      list_->AddAt(std::move(replacement), i);
    }
  }
}

void DownloadWnd::Rebuild() {
  list_->RemoveAll();
  const std::vector<DownloadRecord> records = manager_.Records();
  // An empty list says so, instead of a blank panel.
  list_->SetVisible(!records.empty());
  if (empty_ != nullptr) empty_->SetVisible(records.empty());
  for (auto it = records.rbegin(); it != records.rend(); ++it) {
    auto row = DownloadListItems::Make(*it, icons_.For(QString::fromStdU16String(it->fileName)));
    row->SetTag(static_cast<std::intptr_t>(it->id));
    list_->Add(std::move(row));
  }
}

DuiLib::LRESULT DownloadWnd::HandleCustomMessage(DuiLib::UINT uMsg, DuiLib::WPARAM wParam, DuiLib::LPARAM,
                                                 bool& bHandled) {
  const bool lostFocus = uMsg == DuiLib::WM_KILLFOCUS && wParam != GetHWND() && !asking_;
  const bool timedOut = uMsg == DuiLib::WM_TIMER && wParam == kAutoCloseTimer && !asking_;
  if (lostFocus || timedOut) {
    Close(DuiLib::IDCANCEL);
    bHandled = true;
  }
  return 0;
}

void DownloadWnd::OnFinalMessage(DuiLib::HWND hwnd) {
  KillAllTimers();
  list_ = nullptr;
  empty_ = nullptr;
  WindowImplBase::OnFinalMessage(hwnd);
}

}  // namespace tarvo
