#include "shell/mainwnd/main_menu_owner.h"

#include <QProcess>

#include "account/account_state.h"
#include "settings/settings_registry.h"
#include "engines/cef/tab_cef_body.h"
#include "platform/debug_output.h"
#include "bus/bus_keys.h"
#include "bus/message_bus.h"
#include "shell/mainwnd/main_dui_wnd.h"
#include "shell/pages/page.h"
#include "shell/pages/pages.h"

namespace tarvo {
namespace {

QString Q(const WString& text) { return QString::fromStdU16String(text); }

}  // namespace

IMainMenuOwner::User MainMenuOwner::CurrentUser() const {
  User user;
  const WString id = AccountState::Instance().UserId();
  user.loggedIn = !id.empty();
  user.nickname = Q(id);
  return user;
}

void MainMenuOwner::LogOut() {
  AccountState::Instance().SetUserId(WString());
  MessageBus::Instance().Post(BusKeys::kLogout, BusKeys::kSignal);
}

QString MainMenuOwner::CurrentPageTitle() const {
  Page* page = Pages::Instance().Current();
  return page != nullptr ? Q(page->GetTitle()) : QString();
}

void MainMenuOwner::SaveCurrentPageAsPdf(const QString& path) {
  if (Page* page = Pages::Instance().Current()) TabCefBody::SavePageAsPdf(page, path.toStdU16String());
}

void MainMenuOwner::SaveCurrentPageAsHtml(const QString& path) {
  if (Page* page = Pages::Instance().Current()) TabCefBody::SavePageSource(page, path.toStdU16String());
}

void MainMenuOwner::OpenInNewTab(const WString& url) { Pages::Instance().OpenUrlInNewTab(url); }

QString MainMenuOwner::UpdateEntryText() const { return Q(SettingsRegistry::Instance().Get(u"app/version")); }

void MainMenuOwner::CheckForUpdate() { DebugOutput("no update check in this build"); }

void MainMenuOwner::MakeDefaultBrowser() {
  if (!QProcess::startDetached(QStringLiteral("xdg-settings"),
                               {QStringLiteral("set"), QStringLiteral("default-web-browser"),
                                QStringLiteral("tarvo-browser.desktop")})) {
    DebugOutput("xdg-settings could not be started");
  }
}

bool MainMenuOwner::IsFavorBarShown() const { return window_.IsFavorBarShown(); }

void MainMenuOwner::OnLanguageChanged() { window_.OnLanguageChanged(); }

}  // namespace tarvo
