#include "history/windows/history_wnd.h"

#include "history/browsing_data_cleaner.h"
#include "shell/windows/language_texts.h"
#include "shell/windows/windows_language_keys.h"
#include "shell/windows/modal_placement.h"
#include "store/info_records.h"
#include "ui/check_box_ui.h"
#include "ui/ui_notify_types.h"

namespace tarvo {

namespace {

// The check boxes of the options, in the order of kClearOptions.
constexpr std::array<const char*, kClearOptions.size()> kOptionBoxes = {"cb_rec",    "cb_dl",  "cb_file",
                                                                         "cb_cookie", "cb_pwd", "cb_form"};

constexpr std::pair<const char*, const char16_t*> kLabelPictures[] = {
    {"history/exitautoclear", u"clear_08.png"}, {"history/descript", u"clear_01.png"},
    {"history/history", u"clear_title.png"},    {"history/browselist", u"clear_02.png"},
    {"history/downloadlist", u"clear_03.png"},  {"history/pics", u"clear_04.png"},
    {"history/cookie", u"clear_05.png"},        {"history/password", u"clear_06.png"},
    {"history/form", u"clear_07.png"},
};

}  // namespace

int HistoryWnd::Run(DuiLib::HWND owner, QPoint topRight) {
  return RunModalAtTopRight(*this, owner, QStringLiteral("empty_history_list"), topRight);
}

void HistoryWnd::Notify(DuiLib::TNotifyUI& msg) {
  const QString name = msg.pSender != nullptr ? msg.pSender->GetName() : QString();
  if (msg.sType == DuiLib::kNotifyWindowInit) {
    Fill();
  } else if (msg.sType == DuiLib::kNotifySelectChanged && name == QLatin1String("exitclean_chk")) {
    if (auto* box = FindControl<DuiLib::CCheckBoxUI>(name)) InfoRecords(database_).SetExitClean(box->GetCheck());
  } else if (msg.sType == DuiLib::kNotifyClick) {
    if (name == QLatin1String("cancel_btn")) Close(DuiLib::IDCANCEL);
    if (name == QLatin1String("history/clearbtn")) StartClearing();
  }
  WindowImplBase::Notify(msg);
}

void HistoryWnd::Fill() {
  SetLanguageToolTip(FindControl(QStringLiteral("cancel_btn")), WindowsLanguageKeys::kDialogClose);
  if (auto* exitClean = FindControl<DuiLib::CCheckBoxUI>(QStringLiteral("exitclean_chk"))) {
    exitClean->SetCheck(InfoRecords(database_).GetExitClean(), true);
  }
  // The captions are pictures of the language; their words (keys named like the
  // controls) are their tooltips, and what a screen reader says.
  for (const auto& [control, picture] : kLabelPictures) {
    SetLanguageBackground(FindControl(QLatin1String(control)), picture);
    SetLanguageToolTip(FindControl(QLatin1String(control)), QString::fromLatin1(control).toStdU16String());
  }
  SetLanguageButtonImages(FindControl(QStringLiteral("history/clearbtn")), u"clear_btn01.png",
                          u"clear_btn01_hover.png");
  SetLanguageToolTip(FindControl(QStringLiteral("history/clearbtn")), u"history/clearbtn");
}

void HistoryWnd::StartClearing() {
  std::array<bool, kClearOptions.size()> chosen{};
  for (size_t i = 0; i < kOptionBoxes.size(); ++i) {
    auto* box = FindControl<DuiLib::CCheckBoxUI>(QLatin1String(kOptionBoxes[i]));
    chosen[i] = box != nullptr && box->GetCheck();
    if (box != nullptr) box->SetCheck(false, true);
  }
  steps_.Start(chosen);
  SetTimer(kClearTimer, kClearStepMs);
}

void HistoryWnd::ClearStep() {
  const std::optional<ClearOption> option = steps_.Next();
  if (!option) {
    KillTimer(kClearTimer);
    Close(DuiLib::IDOK);
    return;
  }
  const auto index = static_cast<size_t>(*option);
  if (auto* box = FindControl<DuiLib::CCheckBoxUI>(QLatin1String(kOptionBoxes[index]))) box->SetCheck(true, true);
  cleaner_.Clear(*option);
}

DuiLib::LRESULT HistoryWnd::HandleCustomMessage(DuiLib::UINT uMsg, DuiLib::WPARAM wParam, DuiLib::LPARAM,
                                                bool& bHandled) {
  if (uMsg == DuiLib::WM_TIMER && wParam == kClearTimer) {
    ClearStep();
    bHandled = true;
  } else if (uMsg == DuiLib::WM_KILLFOCUS && wParam != GetHWND()) {
    Close(DuiLib::IDCANCEL);
    bHandled = true;
  }
  return 0;
}

void HistoryWnd::OnFinalMessage(DuiLib::HWND hwnd) {
  KillAllTimers();
  steps_.Stop();
  WindowImplBase::OnFinalMessage(hwnd);
}

}  // namespace tarvo
