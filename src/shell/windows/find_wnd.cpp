#include "shell/windows/find_wnd.h"

#include "shell/windows/language_texts.h"
#include "shell/windows/windows_language_keys.h"
#include "ui/edit_ui.h"
#include "ui/ui_notify_types.h"

namespace tarvo {

namespace {
constexpr int kGapLeftOfButton = 5;
constexpr int kFavoriteBarHeight = 32;
}  // namespace

int FindWnd::Run(DuiLib::HWND owner, QPoint screenTopLeft) {
  if (Create(owner, QStringLiteral("find_wnd"), DuiLib::WS_POPUP,
             DuiLib::WS_EX_TOOLWINDOW | DuiLib::WS_EX_ANCHORED_POPUP, screenTopLeft.x(),
             screenTopLeft.y()) == 0) {
    return -1;
  }
  return ShowModal();
}

QPoint FindWnd::TopLeftFor(const QRect& downloadButtonOnScreen, int windowWidth, bool favoriteBarShown) {
  const int right = downloadButtonOnScreen.x() + downloadButtonOnScreen.width() - kGapLeftOfButton;
  const int top = downloadButtonOnScreen.y() + downloadButtonOnScreen.height() + (favoriteBarShown ? kFavoriteBarHeight : 0);
  return QPoint(right - windowWidth, top);
}

QString FindWnd::GetFindText() const { return edit_ != nullptr ? edit_->GetText() : text_; }

void FindWnd::Notify(DuiLib::TNotifyUI& msg) {
  const QString name = msg.pSender != nullptr ? msg.pSender->GetName() : QString();
  if (msg.sType == DuiLib::kNotifyWindowInit) {
    FillLanguageTexts(*this, WindowsLanguageKeys::kFind);
    SetLanguageToolTip(FindControl(QStringLiteral("find/ccbtn")), WindowsLanguageKeys::kDialogClose);
    for (const auto& [control, key] : WindowsLanguageKeys::kFindToolTips) {
      SetLanguageToolTip(FindControl(QString::fromUtf16(control)), key);
    }
    // The skin leaves the caption to the language pack; without one it still reads.
    if (auto* title = FindControl(QStringLiteral("find/title")); title != nullptr && title->GetText().isEmpty()) {
      title->SetText(QStringLiteral("Find"));
    }
    edit_ = FindControl<DuiLib::CEditUI>(QStringLiteral("find/find_edit"));
    if (edit_ != nullptr) {
      edit_->SetText(text_);
      edit_->SetSelAll();
      edit_->SetFocus();
    }
  } else if (msg.sType == DuiLib::kNotifyClick) {
    if (name == QLatin1String("find/next_btn")) SearchNow(true);
    if (name == QLatin1String("find/back_btn")) SearchNow(false);
    if (name == QLatin1String("find/ccbtn")) Close(DuiLib::IDCANCEL);
  } else if (msg.sType == DuiLib::kNotifyReturn && name == QLatin1String("find/find_edit")) {
    SearchNow(true);
  }
  WindowImplBase::Notify(msg);
}

void FindWnd::SearchNow(bool forward) {
  const QString text = GetFindText();
  // An empty text is searched too: it clears the marks of the previous search.
  if (search_) search_(text, forward);
}

void FindWnd::OnFinalMessage(DuiLib::HWND hwnd) {
  if (edit_ != nullptr) text_ = edit_->GetText();
  edit_ = nullptr;
  WindowImplBase::OnFinalMessage(hwnd);
}

}  // namespace tarvo
