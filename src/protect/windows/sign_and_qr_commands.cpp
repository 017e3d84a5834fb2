#include "protect/windows/sign_and_qr_commands.h"

#include "protect/domain_list.h"
#include "protect/windows/protect_sign_wnd.h"
#include "protect/windows/qr_code_wnd.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "shell/commands/main_window_commands.h"
#include "shell/mainwnd/browser_windows.h"
#include "shell/mainwnd/i_browser_window.h"
#include "shell/pages/page.h"
#include "shell/pages/pages.h"
#include "ui/control_ui.h"
#include "url/url_parts.h"

namespace tarvo {

bool SignAndQrCommands::IsOnProtectedSite(const Page* page) { return page != nullptr && page->SiteMapping().mapped; }

WString SignAndQrCommands::QrAddressOf(const Page* page) {
  if (page == nullptr) return {};
  WString address = page->GetDisplayUrl();
  return GetUrlScheme(address).empty() ? WString() : address;
}

void SignAndQrCommands::Register(BrowserWindows& windows, VpnRoute iconRoute) {
  FeatureCommands& commands = windows.Features();
  commands.Register(
      Commands::kShowProtectSign,
      [iconRoute](IBrowserWindow& window, const CommandArgs&) {
        const Page* page = window.CurrentPage();
        if (page == nullptr) return;
        ProtectSignWnd::ShowFor(window.Handle(), DomainList::Instance(), page->GetDisplayUrl(), page->GetLoadedUrl(),
                                iconRoute, window.PageList().IsPrivate());
      },
      [](IBrowserWindow& window) { return IsOnProtectedSite(window.CurrentPage()); });
  commands.Register(
      Commands::kShowQrCode,
      [](IBrowserWindow& window, const CommandArgs&) {
        const WString address = QrAddressOf(window.CurrentPage());
        if (address.empty()) return;
        // A private window's address is shown from memory, never written.
        QRCodeWnd qr(address, SettingsRegistry::Instance().Get(SettingsKeys::kCacheFolder),
                     window.PageList().IsPrivate() ? QRCodeWnd::Storage::kMemoryOnly : QRCodeWnd::Storage::kCacheFile);
        qr.Run(window.Handle());
      },
      [](IBrowserWindow& window) { return !QrAddressOf(window.CurrentPage()).empty(); });
  windows.AddWindowHook([](IBrowserWindow& window) {
    DuiLib::CControlUI* sign = window.Control(QStringLiteral("protectsign_btn"));
    DuiLib::CControlUI* qr = window.Control(QStringLiteral("qrcode_btn"));
    window.PageList().GetTabWnd().AddPageFollower([sign, qr](const Page& page) {
      if (sign != nullptr) sign->SetVisible(IsOnProtectedSite(&page));
      if (qr != nullptr) qr->SetEnabled(!QrAddressOf(&page).empty());
    });
  });
}

}  // namespace tarvo
