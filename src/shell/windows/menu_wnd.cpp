#include "shell/windows/menu_wnd.h"

#include <QTimer>
#include <QUrl>

#include "settings/language_manager.h"
#include "settings/settings_registry.h"
#include "bus/bus_keys.h"
#include "bus/message_bus.h"
#include "shell/windows/i_main_menu_owner.h"
#include "shell/windows/language_menu.h"
#include "shell/windows/language_texts.h"
#include "shell/commands/main_window_commands.h"
#include "shell/commands/main_window_messages.h"
#include "shell/windows/new_window_launcher.h"
#include "shell/windows/windows_language_keys.h"
#include "ui/menu_element_ui.h"
#include "ui/menu_wnd.h"
#include "ui/ui_notify_types.h"
#include "ui/window_registry.h"

namespace tarvo {

namespace {

const QString kLoggedOutPhoto = QStringLiteral("file='Dialog\\menu_user.png'");
const QString kLoggedOffPhoto = QStringLiteral("file='Dialog\\menu_user_disable.png'");

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
  FillLanguageTexts(*this, WindowsLanguageKeys::kMainMenu);
  SetLanguageText(FindControl(QStringLiteral("login_btn")), WindowsLanguageKeys::kMenuAccount);
  SetLanguageText(FindControl(QStringLiteral("logout_btn")), WindowsLanguageKeys::kMenuLogout);
  ShowUser();
  const QString update = owner_.UpdateEntryText();
  if (auto* upgrade = FindControl(QStringLiteral("upgrade_btn")); upgrade != nullptr && !update.isEmpty()) {
    upgrade->SetText(update);
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
  if (name == QLatin1String("login_btn")) {
    OnLogin();
  } else if (name == QLatin1String("logout_btn")) {
    OnLogout();
  } else if (name == QLatin1String("favor_btn")) {
    PostCommand(owner_.IsFavorBarShown() ? Commands::kHideFavorBar : Commands::kShowFavorBar);
  } else if (name == QLatin1String("download_btn")) {
    DuiLib::PostMessage(mainWindow_, MainWindowMessages::kShowDownloads);
  } else if (name == QLatin1String("newwnd_btn") || name == QLatin1String("newincog_btn")) {
    NewWindowLauncher::Launch();
  } else if (name == QLatin1String("savepic_btn")) {
    OnSave(PageSaveDialog::kPdf);
  } else if (name == QLatin1String("savefile_btn")) {
    OnSave(PageSaveDialog::kHtml);
  } else if (name == QLatin1String("search_btn")) {
    MessageBus::Instance().Post(BusKeys::kProtectShowFindDialog, BusKeys::kSignal);
  } else if (name == QLatin1String("fullscreen_btn")) {
    PostCommand(Commands::kToggleFullScreen);
  } else if (name == QLatin1String("empty_btn")) {
    DuiLib::PostMessage(mainWindow_, MainWindowMessages::kShowClearData);
  } else if (name == QLatin1String("language_btn")) {
    if (auto* button = FindControl(QStringLiteral("language_btn"))) {
      const QRect at = button->GetPos();
      DuiLib::CMenuWnd* menu = LanguageMenu::Open(GetHWND(), GetWidget()->mapToGlobal(at.topRight()));
      SetCompanion(menu != nullptr ? menu->GetHWND() : 0);
    }
    return false;
  } else if (name == QLatin1String("upgrade_btn")) {
    owner_.CheckForUpdate();
  } else if (name == QLatin1String("default_btn")) {
    owner_.MakeDefaultBrowser();
  } else {
    return false;  // history, settings, screenshot and options have no action yet
  }
  return true;
}

void MenuWnd::OnLogin() {
  const IMainMenuOwner::User user = owner_.CurrentUser();
  if (!user.loggedIn) {
    DuiLib::PostMessage(mainWindow_, MainWindowMessages::kShowLogin);
    return;
  }
  // The token and the language are values, not address syntax: they are encoded.
  const QString base = QString::fromStdU16String(SettingsRegistry::Instance().Get(u"usercenter/http"));
  const QString language = QString::fromStdU16String(LanguageManager::Instance().GetCurrentLanguage());
  const QString url = base + QStringLiteral("usercenter/personal-center/common/auth?token=") +
                      QString::fromLatin1(QUrl::toPercentEncoding(user.token)) + QStringLiteral("&language=") +
                      QString::fromLatin1(QUrl::toPercentEncoding(language));
  owner_.OpenInNewTab(url.toStdU16String());
}

void MenuWnd::OnLogout() {
  if (!owner_.CurrentUser().loggedIn) return;
  owner_.LogOut();
  if (auto* nickname = FindControl(QStringLiteral("nickname_lbl"))) {
    nickname->SetText(LanguageText(WindowsLanguageKeys::kMenuLogin, nickname->GetText()));
  }
  if (auto* photo = FindControl(QStringLiteral("userphoto_ctl"))) photo->SetBkImage(kLoggedOffPhoto);
  MessageBus::Instance().Post(BusKeys::kLogout, BusKeys::kSignal);
}

void MenuWnd::OnSave(const PageSaveDialog::FileType& type) {
  // The dialog runs after the menu is gone: the menu closes (and deletes itself)
  // while the dialog's own event loop runs, so nothing here may touch it then.
  IMainMenuOwner& owner = owner_;
  const PageSaveDialog dialog = saveDialog_;
  const bool pdf = &type == &PageSaveDialog::kPdf;
  QTimer::singleShot(0, [&owner, dialog, pdf] {
    const QString path =
        dialog.Ask(nullptr, owner.CurrentPageTitle(), pdf ? PageSaveDialog::kPdf : PageSaveDialog::kHtml);
    if (path.isEmpty()) return;
    if (pdf) {
      owner.SaveCurrentPageAsPdf(path);
    } else {
      owner.SaveCurrentPageAsHtml(path);
    }
  });
}

void MenuWnd::OnLanguageChosen(const QString& language) {
  if (LanguageManager::Instance().SetLanguage(language.toStdU16String()) == 0) owner_.OnLanguageChanged();
  Close(DuiLib::IDOK);
}

void MenuWnd::PostCommand(unsigned command) const {
  DuiLib::PostMessage(mainWindow_, DuiLib::WM_COMMAND, DuiLib::MakeWParam(command, Commands::kCommandSource),
                      static_cast<DuiLib::LPARAM>(GetHWND()));
}

}  // namespace tarvo
