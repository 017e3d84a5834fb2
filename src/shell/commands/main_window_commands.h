#pragma once
// The main window's command numbers: everything a click, a key, a menu entry, a
// private message or a bus request can ask of the window. Keys, menus and the page
// views' key filters post them as WM_COMMAND with high word 1 (MakeWParam(command,
// 1)); the window's router runs each one, whatever produced it. CommandTable maps
// controls, keys and messages to them.
namespace tarvo::Commands {

// The thirteen commands of the key table, with their designed numbers.
inline constexpr unsigned kCloseTab = 40000;
inline constexpr unsigned kShowClearData = 40001;
inline constexpr unsigned kFindInPage = 40002;
inline constexpr unsigned kToggleFullScreen = 40003;
inline constexpr unsigned kHideFavoriteBar = 40004;
inline constexpr unsigned kNewIncognitoWindow = 40005;
inline constexpr unsigned kNewWindow = 40006;
inline constexpr unsigned kNothing = 40007;
inline constexpr unsigned kShowFavoriteBar = 40008;
inline constexpr unsigned kZoomIn = 40009;
inline constexpr unsigned kZoomOut = 40010;
inline constexpr unsigned kReload = 40011;
inline constexpr unsigned kLeaveFullScreen = 40012;

// Tabs and navigation of the current page.
inline constexpr unsigned kNewTab = 40100;
inline constexpr unsigned kGoHome = 40101;
inline constexpr unsigned kGoBack = 40102;
inline constexpr unsigned kGoForward = 40103;
inline constexpr unsigned kStop = 40104;
inline constexpr unsigned kSelectTab = 40105;       // args.sender: the tab's option
inline constexpr unsigned kCloseTabOf = 40106;      // args.sender: the tab's close button
inline constexpr unsigned kTabMenu = 40107;         // args.sender: the tab's option
inline constexpr unsigned kOpenHome = 40109;        // a new tab on the start page
inline constexpr unsigned kOpenInBackgroundTab = 40110;  // args.text
inline constexpr unsigned kOpenAllInTabs = 40111;   // args.urls
inline constexpr unsigned kOpenInNewWindow = 40112;     // args.text
inline constexpr unsigned kOpenAllInNewWindow = 40113;  // args.urls
inline constexpr unsigned kOpenResetPassword = 40114;
inline constexpr unsigned kCopyUrl = 40115;         // args.text
inline constexpr unsigned kLeaveUserCentre = 40116;  // after log-out
inline constexpr unsigned kOpenInPrivateWindow = 40117;     // args.text
inline constexpr unsigned kOpenAllInPrivateWindow = 40118;  // args.urls

// The window itself.
inline constexpr unsigned kMinimize = 40200;
inline constexpr unsigned kMaximize = 40201;
inline constexpr unsigned kRestore = 40202;
inline constexpr unsigned kCloseWindow = 40203;
inline constexpr unsigned kShowMainMenu = 40204;
inline constexpr unsigned kToggleFavoriteBar = 40205;
inline constexpr unsigned kShowFindWindow = 40206;
inline constexpr unsigned kChooseSearchEngine = 40207;
inline constexpr unsigned kSearch = 40208;           // args.text: the search box's text
inline constexpr unsigned kShowVpnRefused = 40209;
inline constexpr unsigned kShowVpnFailed = 40210;
inline constexpr unsigned kEnterFullScreen = 40211;  // a page shows an element on the whole screen
inline constexpr unsigned kFocusAddressBar = 40212;
inline constexpr unsigned kShowCompatEngineFailed = 40213;
inline constexpr unsigned kFocusNextPane = 40214;    // F6: between the address bar and the page

// What the current page's body does (greyed out where the body can't).
inline constexpr unsigned kSaveAsPdf = 40300;
inline constexpr unsigned kSaveSource = 40301;
inline constexpr unsigned kPrint = 40302;
inline constexpr unsigned kScreenshot = 40303;

// The feature windows; start-up registers who runs them.
inline constexpr unsigned kToggleFavorite = 40400;  // the toolbar's star
inline constexpr unsigned kAddFavorite = 40401;     // args.text: the address, maybe empty
inline constexpr unsigned kRenameFavorite = 40402;  // args.id
inline constexpr unsigned kShowDownloads = 40403;
inline constexpr unsigned kShowDownloadsForNewDownload = 40404;
inline constexpr unsigned kShowLogin = 40405;
inline constexpr unsigned kShowAccount = 40406;      // the main menu's account entry
inline constexpr unsigned kLogOut = 40407;
inline constexpr unsigned kShowProtect = 40408;
inline constexpr unsigned kProtectButtonMenu = 40409;
inline constexpr unsigned kRefreshProtectButton = 40410;
inline constexpr unsigned kShowProtectSign = 40411;
inline constexpr unsigned kShowQrCode = 40412;
inline constexpr unsigned kShowHistory = 40413;
inline constexpr unsigned kShowSettings = 40414;
inline constexpr unsigned kCheckForUpdate = 40415;
inline constexpr unsigned kMakeDefaultBrowser = 40416;
inline constexpr unsigned kToggleVpn = 40417;        // the toolbar's VPN switch

// The high word that marks a WM_COMMAND as one of these.
inline constexpr unsigned kCommandSource = 1;

}  // namespace tarvo::Commands
