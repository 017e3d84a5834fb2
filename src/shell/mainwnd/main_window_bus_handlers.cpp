#include "shell/mainwnd/main_window_bus_handlers.h"

#include <QClipboard>
#include <QGuiApplication>
#include <memory>

#include "settings/language_manager.h"
#include "settings/settings_registry.h"
#include "platform/debug_output.h"
#include "bus/bus_keys.h"
#include "bus/bus_string.h"
#include "shell/mainwnd/bus_poller.h"
#include "shell/mainwnd/main_dui_wnd.h"
#include "shell/mainwnd/main_window_language_keys.h"
#include "shell/pages/page.h"
#include "shell/pages/pages.h"
#include "shell/windows/c_message_box.h"
#include "shell/windows/new_window_launcher.h"

namespace tarvo {
namespace {

struct BusStringFree {
  void operator()(BusString* string) const { BusString::Free(string); }
};
using OwnedBusString = std::unique_ptr<BusString, BusStringFree>;

OwnedBusString TakeString(uintptr_t payload) { return OwnedBusString(reinterpret_cast<BusString*>(payload)); }

std::unique_ptr<MainWindowBusHandlers::UrlList> TakeList(uintptr_t payload) {
  return std::unique_ptr<MainWindowBusHandlers::UrlList>(reinterpret_cast<MainWindowBusHandlers::UrlList*>(payload));
}

// Channels of windows that are not part of the browser yet: drained and reported.
void Unavailable(const char* what) { DebugOutput(std::string("no window for: ") + what); }

}  // namespace

void MainWindowBusHandlers::Install(BusPoller& poller) {
  poller.SetHandler(BusKeys::kWindowOpenUrl, [this](uintptr_t p) { OpenWindow(p); });
  poller.SetHandler(BusKeys::kTabOpenAllUrl, [this](uintptr_t p) { OpenAllInTabs(p); });
  poller.SetHandler(BusKeys::kTabOpenResetPassword, [this](uintptr_t) { OpenResetPassword(); });
  poller.SetHandler(BusKeys::kWindowOpenAllUrl, [this](uintptr_t p) { OpenAllInWindow(p); });
  poller.SetHandler(BusKeys::kClipboardCopyUrl, [this](uintptr_t p) { CopyUrl(p); });
  poller.SetHandler(BusKeys::kShowFavorWnd, [](uintptr_t p) {
    TakeString(p);
    Unavailable("favourites editor");
  });
  poller.SetHandler(BusKeys::kHideFavorBar, [this](uintptr_t) { window_.HideFavorBar(); });
  poller.SetHandler(BusKeys::kReflashFavorBar, [this](uintptr_t) { window_.ShowFavorBar(); });
  // The payload is a favourite's id, not a pointer: nothing to free.
  poller.SetHandler(BusKeys::kShowRenameWnd, [](uintptr_t) { Unavailable("favourite rename"); });
  poller.SetHandler(BusKeys::kLogout, [this](uintptr_t) { LogOutPages(); });
  poller.SetHandler(BusKeys::kProtectReflashButton, [](uintptr_t) { Unavailable("protection button"); });
  poller.SetHandler(BusKeys::kProtectShowDialog, [](uintptr_t) { Unavailable("protection window"); });
  poller.SetHandler(BusKeys::kProtectShowVpn403, [this](uintptr_t) { ShowMessage(kVpnRefusedMessage); });
  poller.SetHandler(BusKeys::kProtectShowVpnFailed,
                    [this](uintptr_t) { ShowMessage(kVpnFailedMessage); });
  poller.SetHandler(BusKeys::kProtectShowFindDialog, [this](uintptr_t) { window_.ShowFindWindow(); });
}

std::vector<std::string> MainWindowBusHandlers::LaunchArguments(const UrlList& urls) {
  std::vector<std::string> arguments;
  for (const WString& url : urls) {
    if (!url.empty()) arguments.push_back(WideToUtf8(url));
  }
  return arguments;
}

bool MainWindowBusHandlers::IsUserCentrePage(WStringView pageUrl, WStringView userCentre) {
  return !userCentre.empty() && pageUrl.starts_with(userCentre);
}

void MainWindowBusHandlers::OpenWindow(uintptr_t payload) {
  const OwnedBusString url = TakeString(payload);
  if (NewWindowLauncher::Launch(LaunchArguments({WString(url->View())})) != 0) {
    DebugOutput("new window not started");
  }
}

void MainWindowBusHandlers::OpenAllInTabs(uintptr_t payload) {
  const auto urls = TakeList(payload);
  for (const WString& url : *urls) Pages::Instance().OpenUrlInNewTab(url);
}

void MainWindowBusHandlers::OpenResetPassword() {
  auto& settings = SettingsRegistry::Instance();
  Pages::Instance().OpenUrlInNewTab(settings.Get(u"usercenter/http") +
                                    u"usercenter/personal-center/respwd.jsp?language=" +
                                    LanguageManager::Instance().GetCurrentLanguage());
}

void MainWindowBusHandlers::OpenAllInWindow(uintptr_t payload) {
  const auto urls = TakeList(payload);
  const std::vector<std::string> arguments = LaunchArguments(*urls);
  if (arguments.empty()) return;
  if (NewWindowLauncher::Launch(arguments) != 0) DebugOutput("new window not started");
}

void MainWindowBusHandlers::CopyUrl(uintptr_t payload) {
  const OwnedBusString url = TakeString(payload);
  if (QClipboard* clipboard = QGuiApplication::clipboard()) {
    clipboard->setText(QString::fromStdU16String(WString(url->View())));
  }
}

void MainWindowBusHandlers::LogOutPages() {
  const WString userCentre = SettingsRegistry::Instance().Get(u"usercenter/http");
  Pages& pages = Pages::Instance();
  for (int i = 0; i < pages.Count(); ++i) {
    Page* page = pages.PageAt(i);
    if (IsUserCentrePage(page->GetDisplayUrl(), userCentre)) page->Navigate(WString());
  }
}

void MainWindowBusHandlers::ShowMessage(WStringView languageKey) {
  CMessageBox::Show(window_.GetHWND(), QString::fromStdU16String(LanguageManager::Instance().GetText(languageKey)),
                    false);
}

}  // namespace tarvo
