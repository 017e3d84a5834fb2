#include "shell/windows/menu_wnd.h"

#include "settings/language_manager.h"
#include "shell/windows/i_main_menu_owner.h"
#include "shell/windows/language_menu.h"
#include "shell/windows/language_texts.h"
#include "shell/commands/command_table.h"
#include "shell/commands/post_command.h"
#include "shell/windows/windows_language_keys.h"
#include "ui/menu_element_ui.h"
#include "ui/menu_wnd.h"
#include "ui/ui_notify_types.h"
#include "ui/window_registry.h"

namespace tarvo {

namespace {

const QString kLoggedOutPhoto = QStringLiteral("file='Dialog\\menu_user.png'");

}  // namespace

void MenuWnd::Notify(DuiLib::TNotifyUI& msg) {
  if (msg.sType == DuiLib::kNotifyWindowInit) {
    Fill();
  } else if (msg.sType == DuiLib::kNotifyItemClick) {
    // From the language menu, whose owner this window is.
    if (auto* item = dynamic_cast<DuiLib::CMenuElementUI*>(msg.pSender)) OnLanguageChosen(item->GetCommand());
    return;
  } else if (msg.sType == DuiLib::kNotifyClick && msg.pSender != nullptr) {
    // Handled before the close takes effect: the close is queued.
    if (OnClick(msg.pSender->GetName())) Close(DuiLib::IDOK);
  }
  WindowImplBase::Notify(msg);
}

void MenuWnd::Fill() {
  SetLanguageToolTip(FindControl(QStringLiteral("cancel_btn")), WindowsLanguageKeys::kDialogClose);
  if (DuiLib::CControlUI* root = GetPaintManager().GetRoot()) {
    root->SetAccessibleName(LanguageText(WindowsLanguageKeys::kMenuTitle));
  }
  FillLanguageTexts(*this, WindowsLanguageKeys::kMainMenu);
  SetLanguageText(FindControl(QStringLiteral("login_btn")), WindowsLanguageKeys::kMenuAccount);
  SetLanguageText(FindControl(QStringLiteral("logout_btn")), WindowsLanguageKeys::kMenuLogout);
  ShowUser();
  EnableEntries();
  const QString update = owner_.UpdateEntryText();
  if (auto* upgrade = FindControl(QStringLiteral("upgrade_btn")); upgrade != nullptr && !update.isEmpty()) {
    upgrade->SetText(update);
  }
}

void MenuWnd::EnableEntries() {
  for (const auto& [name, command] : CommandTable::ControlsOf(ControlSurface::kMainMenu)) {
    if (auto* entry = FindControl(name)) entry->SetEnabled(owner_.IsAvailable(command));
  }
}

void MenuWnd::ShowUser() {
  const IMainMenuOwner::User user = owner_.CurrentUser();
  auto* nickname = FindControl(QStringLiteral("nickname_lbl"));
  auto* photo = FindControl(QStringLiteral("userphoto_ctl"));
  if (nickname != nullptr) {
    nickname->SetText(user.loggedIn ? user.nickname : LanguageText(WindowsLanguageKeys::kMenuLogin, nickname->GetText()));
  }
  if (photo != nullptr) photo->SetBkImage(user.loggedIn && !user.photo.isEmpty() ? user.photo : kLoggedOutPhoto);
  if (auto* logout = FindControl(QStringLiteral("logout_btn"))) logout->SetVisible(user.loggedIn);
}

bool MenuWnd::OnClick(const QString& name) {
  if (name == QLatin1String("cancel_btn")) return true;
  if (name == QLatin1String("language_btn")) {
    if (auto* button = FindControl(QStringLiteral("language_btn"))) {
      const QRect at = button->GetPos();
      DuiLib::CMenuWnd* menu = LanguageMenu::Open(GetHWND(), GetWidget()->mapToGlobal(at.topRight()));
      SetCompanion(menu != nullptr ? menu->GetHWND() : 0);
    }
    return false;
  }
  const unsigned command = CommandTable::ForControl(ControlSurface::kMainMenu, ControlEvent::kClick, name);
  if (command == 0 || !owner_.IsAvailable(command)) return false;
  PostCommand(mainWindow_, command, static_cast<DuiLib::LPARAM>(GetHWND()));
  return true;
}

void MenuWnd::OnLanguageChosen(const QString& language) {
  if (LanguageManager::Instance().SetLanguage(language.toStdU16String()) == 0) owner_.OnLanguageChanged();
  Close(DuiLib::IDOK);
}

}  // namespace tarvo
