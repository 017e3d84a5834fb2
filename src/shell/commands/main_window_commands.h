#pragma once
// The main window's command numbers. Key bindings, menus and the page-view key
// filter all post them as WM_COMMAND with high word 1 (MakeWParam(command, 1)), so
// the main window runs one handler whatever produced the command.
namespace tarvo::Commands {

inline constexpr unsigned kCloseTab = 40000;
inline constexpr unsigned kShowClearData = 40001;
inline constexpr unsigned kFindInPage = 40002;
inline constexpr unsigned kToggleFullScreen = 40003;
inline constexpr unsigned kHideFavorBar = 40004;
inline constexpr unsigned kNewIncognitoWindow = 40005;
inline constexpr unsigned kNewWindow = 40006;
inline constexpr unsigned kNothing = 40007;
inline constexpr unsigned kShowFavorBar = 40008;
inline constexpr unsigned kZoomIn = 40009;
inline constexpr unsigned kZoomOut = 40010;
inline constexpr unsigned kReload = 40011;
inline constexpr unsigned kLeaveFullScreen = 40012;

// The high word that marks a command as coming from a key binding or a menu.
inline constexpr unsigned kCommandSource = 1;

}  // namespace tarvo::Commands
