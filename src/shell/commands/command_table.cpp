#include "shell/commands/command_table.h"

#include <array>

#include "shell/commands/main_window_commands.h"
#include "shell/commands/main_window_messages.h"
#include "ui/ui_messages.h"

namespace tarvo {

namespace {

using namespace DuiLib;
namespace C = Commands;

struct ControlBinding {
  ControlSurface surface;
  ControlEvent event;
  const char* name;
  unsigned command;
};

constexpr ControlSurface kWindow = ControlSurface::kWindow;
constexpr ControlSurface kMenu = ControlSurface::kMainMenu;
constexpr ControlSurface kCaption = ControlSurface::kCaptionMenu;
constexpr ControlEvent kClick = ControlEvent::kClick;

constexpr std::array kControls = {
    // The tab strip and the toolbar.
    ControlBinding{kWindow, kClick, "TabOption", C::kSelectTab},
    ControlBinding{kWindow, kClick, "TabClose", C::kCloseTabOf},
    ControlBinding{kWindow, kClick, "browser_tabadd", C::kNewTab},
    ControlBinding{kWindow, kClick, "home_go", C::kGoHome},
    ControlBinding{kWindow, kClick, "back_btn", C::kGoBack},
    ControlBinding{kWindow, kClick, "forward_btn", C::kGoForward},
    ControlBinding{kWindow, kClick, "refresh_btn", C::kReload},
    ControlBinding{kWindow, kClick, "stop_btn", C::kStop},
    ControlBinding{kWindow, kClick, "se_btn", C::kChooseSearchEngine},
    ControlBinding{kWindow, kClick, "searchmini_btn", C::kChooseSearchEngine},
    ControlBinding{kWindow, kClick, "search_btn", C::kSearch},
    ControlBinding{kWindow, kClick, "logo_btn", C::kShowMainMenu},
    ControlBinding{kWindow, kClick, "minbtn", C::kMinimize},
    ControlBinding{kWindow, kClick, "maxbtn", C::kMaximize},
    ControlBinding{kWindow, kClick, "restorebtn", C::kRestore},
    ControlBinding{kWindow, kClick, "closebtn", C::kCloseWindow},
    ControlBinding{kWindow, kClick, "favor_btn", C::kToggleFavorite},
    ControlBinding{kWindow, kClick, "qrcode_btn", C::kShowQrCode},
    // The shield switches the VPN (opening the panel when a node is to be chosen);
    // its right click opens the panel.
    ControlBinding{kWindow, kClick, "protect_btn", C::kToggleVpn},
    ControlBinding{kWindow, kClick, "protectsign_btn", C::kShowProtectSign},
    ControlBinding{kWindow, kClick, "empty_btn", C::kShowClearData},
    ControlBinding{kWindow, kClick, "download_btn", C::kShowDownloads},
    ControlBinding{kWindow, ControlEvent::kRightClick, "TabOption", C::kTabMenu},
    ControlBinding{kWindow, ControlEvent::kRightClick, "protect_btn", C::kProtectButtonMenu},
    ControlBinding{kWindow, ControlEvent::kReturn, "SearchEdit", C::kSearch},
    // The main menu under the logo.
    ControlBinding{kMenu, kClick, "login_btn", C::kShowAccount},
    ControlBinding{kMenu, kClick, "logout_btn", C::kLogOut},
    ControlBinding{kMenu, kClick, "favor_btn", C::kToggleFavoriteBar},
    ControlBinding{kMenu, kClick, "download_btn", C::kShowDownloads},
    ControlBinding{kMenu, kClick, "newwnd_btn", C::kNewWindow},
    ControlBinding{kMenu, kClick, "newincog_btn", C::kNewIncognitoWindow},
    ControlBinding{kMenu, kClick, "savepic_btn", C::kSaveAsPdf},
    ControlBinding{kMenu, kClick, "savefile_btn", C::kSaveSource},
    ControlBinding{kMenu, kClick, "search_btn", C::kFindInPage},
    ControlBinding{kMenu, kClick, "fullscreen_btn", C::kToggleFullScreen},
    ControlBinding{kMenu, kClick, "empty_btn", C::kShowClearData},
    ControlBinding{kMenu, kClick, "upgrade_btn", C::kCheckForUpdate},
    ControlBinding{kMenu, kClick, "default_btn", C::kMakeDefaultBrowser},
    ControlBinding{kMenu, kClick, "history_btn", C::kShowHistory},
    ControlBinding{kMenu, kClick, "setting_btn", C::kShowSettings},
    ControlBinding{kMenu, kClick, "option_btn", C::kShowSettings},
    ControlBinding{kMenu, kClick, "screenshot_btn", C::kScreenshot},
    // The right-click menu of the caption area.
    ControlBinding{kCaption, kClick, "close_btn", C::kCloseWindow},
    ControlBinding{kCaption, kClick, "new_tab_btn", C::kOpenHome},
    ControlBinding{kCaption, kClick, "showfavorbar_btn", C::kShowFavoriteBar},
};

struct KeyBinding {
  unsigned vk;
  unsigned modifiers;
  unsigned command;
  unsigned scopes;
};

constexpr unsigned kCtrl = MK_CONTROL;
constexpr unsigned kCtrlShift = MK_CONTROL | MK_SHIFT;
constexpr unsigned kInWindow = static_cast<unsigned>(KeyScope::kWindow);
constexpr unsigned kInChromium = static_cast<unsigned>(KeyScope::kChromiumPage);
constexpr unsigned kInCompat = static_cast<unsigned>(KeyScope::kCompatPage);
constexpr unsigned kInAddressBar = static_cast<unsigned>(KeyScope::kAddressBar);
// Inside a page the browser's keys act the same whichever engine draws it.
constexpr unsigned kInPages = kInChromium | kInCompat;

// The window's thirteen designed bindings, Ctrl+P, Ctrl+T (a new tab), Ctrl+L (the
// address bar) and F6 (the keyboard's way between the address bar and the page), with
// the places each one also works in. Order matters where a held key fits two rows:
// Ctrl+Alt+H in the address bar hides the favourites bar.
constexpr std::array kKeys = {
    KeyBinding{'W', kCtrl, C::kCloseTab, kInWindow | kInPages | kInAddressBar},
    KeyBinding{'A', kCtrlShift, C::kShowClearData, kInWindow},
    KeyBinding{'F', kCtrl, C::kFindInPage, kInWindow | kInPages},
    KeyBinding{VK_F11, 0, C::kToggleFullScreen, kInWindow | kInPages | kInAddressBar},
    KeyBinding{'H', kCtrl, C::kHideFavoriteBar, kInWindow | kInPages | kInAddressBar},
    KeyBinding{'N', kCtrlShift, C::kNewIncognitoWindow, kInWindow},
    KeyBinding{'N', kCtrl, C::kNewWindow, kInWindow},
    KeyBinding{VK_DELETE, kCtrlShift, C::kNothing, kInWindow},
    KeyBinding{'H', MK_ALT, C::kShowFavoriteBar, kInWindow | kInAddressBar},
    // A Chromium page hands the zoom keys it leaves to the window; a compatibility
    // page keeps every key it is given, so it posts them itself.
    KeyBinding{VK_OEM_PLUS, kCtrlShift, C::kZoomIn, kInWindow | kInCompat},
    KeyBinding{VK_OEM_MINUS, kCtrl, C::kZoomOut, kInWindow | kInCompat},
    KeyBinding{VK_F5, 0, C::kReload, kInWindow | kInPages},
    KeyBinding{VK_ESCAPE, 0, C::kLeaveFullScreen, kInWindow | kInPages},
    KeyBinding{'P', kCtrl, C::kPrint, kInWindow | kInPages},
    KeyBinding{'T', kCtrl, C::kOpenHome, kInWindow | kInPages | kInAddressBar},
    KeyBinding{'L', kCtrl, C::kFocusAddressBar, kInWindow | kInPages | kInAddressBar},
    KeyBinding{VK_F6, 0, C::kFocusNextPane, kInWindow | kInPages | kInAddressBar},
    KeyBinding{VK_F6, MK_SHIFT, C::kFocusNextPane, kInWindow},
};

struct MessageBinding {
  UINT message;
  unsigned command;
};

constexpr std::array kMessages = {
    MessageBinding{MainWindowMessages::kShowDownloads, C::kShowDownloads},
    MessageBinding{MainWindowMessages::kShowDownloadsFromEngine, C::kShowDownloadsForNewDownload},
    MessageBinding{MainWindowMessages::kShowClearData, C::kShowClearData},
    MessageBinding{MainWindowMessages::kShowLogin, C::kShowLogin},
    MessageBinding{MainWindowMessages::kShowMainMenu, C::kShowMainMenu},
};

}  // namespace

unsigned CommandTable::ForControl(ControlSurface surface, ControlEvent event, const QString& name) {
  for (const ControlBinding& binding : kControls) {
    if (binding.surface == surface && binding.event == event && name == QLatin1String(binding.name)) {
      return binding.command;
    }
  }
  return 0;
}

std::vector<std::pair<QString, unsigned>> CommandTable::ControlsOf(ControlSurface surface) {
  std::vector<std::pair<QString, unsigned>> controls;
  for (const ControlBinding& binding : kControls) {
    if (binding.surface == surface && binding.event == kClick) {
      controls.emplace_back(QString::fromLatin1(binding.name), binding.command);
    }
  }
  return controls;
}

unsigned CommandTable::ForKey(KeyScope scope, unsigned vk, unsigned modifiers) {
  const unsigned held = modifiers & (MK_CONTROL | MK_SHIFT | MK_ALT);
  const bool exact = scope == KeyScope::kWindow;
  for (const KeyBinding& binding : kKeys) {
    if ((binding.scopes & static_cast<unsigned>(scope)) == 0 || binding.vk != vk) continue;
    const bool matches = exact ? held == binding.modifiers : (held & binding.modifiers) == binding.modifiers;
    if (matches) return binding.command;
  }
  return 0;
}

unsigned CommandTable::ForMessage(unsigned message) {
  for (const MessageBinding& binding : kMessages) {
    if (binding.message == message) return binding.command;
  }
  return 0;
}

}  // namespace tarvo
