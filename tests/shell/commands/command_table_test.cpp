// The one table of controls, keys and messages: each place a key works in, with its
// own rule for modifiers, and the surfaces on which one control name means
// different things.
#include "shell/commands/command_table.h"

#include <gtest/gtest.h>

#include "shell/commands/main_window_commands.h"
#include "shell/commands/main_window_messages.h"
#include "ui/ui_messages.h"

namespace tarvo {
namespace {

using namespace DuiLib;
namespace C = Commands;

TEST(CommandTableTest, KeysGiveTheirCommandInEachPlaceAndOnlyThere) {
  constexpr unsigned kCtrl = MK_CONTROL;
  constexpr unsigned kCtrlShift = MK_CONTROL | MK_SHIFT;
  // Inside a page the keys act alike whichever engine draws it: the zoom keys a
  // Chromium page leaves reach the window, a compatibility page posts them itself.
  struct Case {
    unsigned vk;
    unsigned modifiers;
    unsigned window, page, addressBar;
    unsigned compatPage = page;
  };
  const std::vector<Case> cases = {
      {'W', kCtrl, C::kCloseTab, C::kCloseTab, C::kCloseTab},
      {'A', kCtrlShift, C::kShowClearData, 0, 0},
      {'F', kCtrl, C::kFindInPage, C::kFindInPage, 0},
      {VK_F11, 0, C::kToggleFullScreen, C::kToggleFullScreen, C::kToggleFullScreen},
      {'H', kCtrl, C::kHideFavoriteBar, C::kHideFavoriteBar, C::kHideFavoriteBar},
      {'N', kCtrlShift, C::kNewIncognitoWindow, 0, 0},
      {'N', kCtrl, C::kNewWindow, 0, 0},
      {VK_DELETE, kCtrlShift, C::kNothing, 0, 0},
      {'H', MK_ALT, C::kShowFavoriteBar, 0, C::kShowFavoriteBar},  // Alt+H in a page is the page's own
      {VK_OEM_PLUS, kCtrlShift, C::kZoomIn, 0, 0, C::kZoomIn},
      {VK_OEM_MINUS, kCtrl, C::kZoomOut, 0, 0, C::kZoomOut},
      {VK_F5, 0, C::kReload, C::kReload, 0},
      {VK_ESCAPE, 0, C::kLeaveFullScreen, C::kLeaveFullScreen, 0},
      {'P', kCtrl, C::kPrint, C::kPrint, 0},
      {'T', kCtrl, C::kOpenHome, C::kOpenHome, C::kOpenHome},
      {'L', kCtrl, C::kFocusAddressBar, C::kFocusAddressBar, C::kFocusAddressBar},
      {VK_F6, 0, C::kFocusNextPane, C::kFocusNextPane, C::kFocusNextPane},
      {VK_F6, MK_SHIFT, C::kFocusNextPane, C::kFocusNextPane, C::kFocusNextPane},
      // Near misses of the window's exact modifiers that a page, which only asks
      // whether Ctrl is held, still takes.
      {'W', kCtrlShift, 0, C::kCloseTab, C::kCloseTab},
      {'H', kCtrl | MK_ALT, 0, C::kHideFavoriteBar, C::kHideFavoriteBar},
      {VK_F5, MK_SHIFT, 0, C::kReload, 0},
      {'W', 0, 0, 0, 0},
      {'A', kCtrl, 0, 0, 0},
      {VK_OEM_PLUS, kCtrl, 0, 0, 0},
  };
  for (const Case& c : cases) {
    const std::string at = std::to_string(c.vk) + "/" + std::to_string(c.modifiers);
    EXPECT_EQ(CommandTable::ForKey(KeyScope::kWindow, c.vk, c.modifiers), c.window) << at;
    EXPECT_EQ(CommandTable::ForKey(KeyScope::kChromiumPage, c.vk, c.modifiers), c.page) << at;
    EXPECT_EQ(CommandTable::ForKey(KeyScope::kCompatPage, c.vk, c.modifiers), c.compatPage) << at;
    EXPECT_EQ(CommandTable::ForKey(KeyScope::kAddressBar, c.vk, c.modifiers), c.addressBar) << at;
    // Mouse-button bits held at the same time don't matter.
    EXPECT_EQ(CommandTable::ForKey(KeyScope::kWindow, c.vk, c.modifiers | MK_LBUTTON), c.window) << at;
  }
}

TEST(CommandTableTest, ControlsMeanWhatTheirSurfaceSaysAndMessagesAskForWindows) {
  EXPECT_EQ(CommandTable::ForControl(ControlSurface::kWindow, ControlEvent::kClick, "favor_btn"), C::kToggleFavorite);
  EXPECT_EQ(CommandTable::ForControl(ControlSurface::kMainMenu, ControlEvent::kClick, "favor_btn"), C::kToggleFavoriteBar);
  EXPECT_EQ(CommandTable::ForControl(ControlSurface::kWindow, ControlEvent::kClick, "search_btn"), C::kSearch);
  EXPECT_EQ(CommandTable::ForControl(ControlSurface::kMainMenu, ControlEvent::kClick, "search_btn"), C::kFindInPage);
  EXPECT_EQ(CommandTable::ForControl(ControlSurface::kWindow, ControlEvent::kRightClick, "protect_btn"),
            C::kProtectButtonMenu);
  EXPECT_EQ(CommandTable::ForControl(ControlSurface::kWindow, ControlEvent::kReturn, "SearchEdit"), C::kSearch);
  // Return in the address bar is the address edit's own message, not a command.
  EXPECT_EQ(CommandTable::ForControl(ControlSurface::kWindow, ControlEvent::kReturn, "AddressEdit"), 0u);
  EXPECT_EQ(CommandTable::ForControl(ControlSurface::kCaptionMenu, ControlEvent::kClick, "changeskin_btn"), 0u);
  EXPECT_EQ(CommandTable::ForMessage(MainWindowMessages::kShowDownloads), C::kShowDownloads);
  EXPECT_EQ(CommandTable::ForMessage(MainWindowMessages::kShowDownloadsFromEngine), C::kShowDownloadsForNewDownload);
  EXPECT_EQ(CommandTable::ForMessage(MainWindowMessages::kShowLogin), C::kShowLogin);
  EXPECT_EQ(CommandTable::ForMessage(MainWindowMessages::kMoveTab), 0u);  // carries data: not a command
}

}  // namespace
}  // namespace tarvo
