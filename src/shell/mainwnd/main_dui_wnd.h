#pragma once
// A browser main window ("KXMainFrm", skin "newmainwnd.xml"): tab strip, toolbar with
// address bar and search box, the favourites-bar slot and the body bar in which the
// engine views live. It owns its page list and wires it to its controls and to the
// engines; every click, key, menu entry, private message and bus request that asks
// it for something becomes a command that its router runs (CommandTable says which).
// Its own commands are kept by small collaborators (tabs, the window, search and
// find, page files); feature windows come through the registry of BrowserWindows.
//
// Threads: the GUI thread only; other threads reach it through PostMessage on its
// handle and through the message bus. Lifetime: owned by the application; it adds
// itself to BrowserWindows when built and removes itself when destroyed.
#include <QPoint>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

#include "platform/text.h"
#include "shell/mainwnd/i_main_window.h"
#include "shell/pages/pages.h"
#include "ui/window_impl_base.h"

namespace DuiLib {
class CButtonUI;
class CContainerUI;
class CControlUI;
class CEditUI;
}  // namespace DuiLib

namespace tarvo {

class BrowserWindows;
class CAddressEditUI;
class CBodyBar;
class CommandRouter;
class FullScreenController;
class IPageBodyFactory;
class MainMenuOwner;
class MainWindowMessageHandler;
class PageFileCommands;
class SearchCommands;
class TabCommands;
class TabStrip;
class WindowCommands;

class MainDuiWnd : public DuiLib::WindowImplBase, public IMainWindow {
 public:
  static constexpr const char* kClassName = "KXMainFrm";
  static constexpr const char* kSkinFile = "newmainwnd.xml";
  // The size the window is created with, before the working size is reached.
  static constexpr int kInitialWidth = 400;
  static constexpr int kInitialHeight = 110;
  // The wait before the window takes its working size (85 % of the screen).
  static constexpr int kWorkingSizeDelayMs = 2000;
  static constexpr int kBusPollMs = 25;

  // Joins `windows` (which must outlive it); no system window yet. `bodies` opens the
  // window's pages in the engines (start-up makes it); a window without one shows no
  // pages.
  MainDuiWnd(BrowserWindows& windows, std::unique_ptr<IPageBodyFactory> bodies);
  // Leaves `windows`. The pages must have been shut down (close, or never created);
  // the controls go with the window.
  ~MainDuiWnd() override;
  MainDuiWnd(const MainDuiWnd&) = delete;
  MainDuiWnd& operator=(const MainDuiWnd&) = delete;

  // Before CreateAndShow: a command-line address to open, in order.
  void AddStartUrl(WString url);
  // Creates the system window from the skin (400x110 at first), wires the page list
  // and the engines' windows, shows it, runs "windowinit" and opens the start URLs at
  // once (one tab each; the settings value "homepage" when there are none). The
  // working size follows kWorkingSizeDelayMs later. Returns false, showing nothing,
  // when the skin can't be loaded. Call once; the engines, settings, database and
  // language must be initialised before.
  bool CreateAndShow();
  // Called on the GUI thread once the window has reached its working size (the app
  // lets the splash close then). May be set before or after CreateAndShow.
  void SetReadyCallback(std::function<void()> ready);
  // Before CreateAndShow: opens the window's first pages itself (a restored
  // session) in place of the start URLs; it may go on opening them later.
  void SetStartPages(std::function<void(MainDuiWnd& window)> open) { startPages_ = std::move(open); }
  // Before CreateAndShow: how long the window stays small before it takes its
  // working size (a window opened while the browser runs takes it at once).
  void SetWorkingSizeDelay(int ms) { workingSizeDelayMs_ = ms; }
  // Before CreateAndShow: where the working size puts the window, from the screen's
  // centre (later windows step aside so that each one's title bar shows).
  void SetPlacementOffset(QPoint offset) { placementOffset_ = offset; }
  // Another browser process handed its addresses over: opens each in a new selected
  // tab ("newpage" when the list is empty), then raises and activates the window.
  void OpenHandedOverUrls(const std::vector<WString>& urls);

  // IBrowserWindow.
  DuiLib::HWND Handle() const override { return GetHWND(); }
  QRect ControlScreenRect(const QString& name) const override;
  bool IsFavoriteBarShown() const override;
  Page* CurrentPage() const override { return pages_.Current(); }
  Pages& PageList() override { return pages_; }
  void RunCommand(unsigned command, const CommandArgs& args = {}) override;
  bool IsCommandAvailable(unsigned command) const override;
  // Texts follow a new language (the tooltips; controls read theirs when drawn).
  void OnLanguageChanged() override;
  DuiLib::CControlUI* Control(const QString& name) const override;

  // IMainWindow.
  DuiLib::WindowImplBase& Frame() override { return *this; }
  BrowserWindows& Group() const override { return windows_; }
  FullScreenController* FullScreen() const override { return fullScreen_.get(); }
  // The favourites bar goes in as the first child of "client_region": the bar the
  // favourites feature makes (BrowserWindows), or an empty slot.
  void ShowFavoriteBar() override;
  void HideFavoriteBar() override;
  void FocusAddressBar() override;
  IMainMenuOwner& MenuOwner() const override;

  bool IsFullScreen() const;
  // The body bar, or nullptr before the window exists.
  CBodyBar* BodyBar() const;
  // The commands that write the current page out (their dialogs can be replaced).
  PageFileCommands* PageFiles() const { return pageFileCommands_.get(); }

  void Notify(DuiLib::TNotifyUI& msg) override;
  DuiLib::LRESULT MessageHandler(DuiLib::UINT uMsg, DuiLib::WPARAM wParam, DuiLib::LPARAM lParam,
                                 bool& bHandled) override;
  std::unique_ptr<DuiLib::CControlUI> CreateControl(const QString& tag) override;

 protected:
  QString GetWindowClassName() const override { return QString::fromLatin1(kClassName); }
  QString GetSkinFile() override { return QString::fromLatin1(kSkinFile); }
  void InitWindow() override;
  // Escape is a command (leave full screen), never "close the window".
  bool ResponseDefaultKeyEvent(DuiLib::WPARAM key) override;
  DuiLib::LRESULT HandleCustomMessage(DuiLib::UINT uMsg, DuiLib::WPARAM wParam, DuiLib::LPARAM lParam,
                                      bool& bHandled) override;

 private:
  void OnWindowInit();
  void WireToolbar();
  void SetToolTipsAndNames();
  void ReachWorkingSize();
  // 85 % of the screen, centred, with the skin's minimum size from then on.
  void TakeWorkingSize();
  void OnControlEvent(DuiLib::TNotifyUI& msg);
  void OnSize(DuiLib::WPARAM kind);
  // Shuts the pages down in order while the window still exists, hides it and ends
  // the event loop (the application shuts the engines down after it).
  void OnClose();
  std::unique_ptr<DuiLib::CControlUI> MakeFavoriteBar();

  BrowserWindows& windows_;
  std::unique_ptr<IPageBodyFactory> bodyFactory_;
  std::unique_ptr<TabStrip> strip_;
  Pages pages_;  // after the strip: the pages go first
  std::vector<WString> startUrls_;
  std::function<void(MainDuiWnd&)> startPages_;
  std::function<void()> ready_;
  // The vector of three words the design keeps; nothing here reads it.
  std::vector<unsigned> reserved_ = std::vector<unsigned>(3, 0);
  std::unique_ptr<FullScreenController> fullScreen_;
  std::unique_ptr<MainWindowMessageHandler> messages_;
  std::unique_ptr<MainMenuOwner> menuOwner_;
  std::unique_ptr<CommandRouter> router_;
  std::unique_ptr<TabCommands> tabCommands_;
  std::unique_ptr<WindowCommands> windowCommands_;
  std::unique_ptr<SearchCommands> searchCommands_;
  std::unique_ptr<PageFileCommands> pageFileCommands_;
  QTimer workingSizeTimer_;
  int workingSizeDelayMs_ = kWorkingSizeDelayMs;
  bool hasWorkingSize_ = false;
  QPoint placementOffset_;
  bool closing_ = false;

  // Controls of the skin, looked up once in InitWindow (not owned: the control tree).
  DuiLib::CContainerUI* clientRegion_ = nullptr;
  DuiLib::CControlUI* tabHeadTop_ = nullptr;
  CAddressEditUI* addressEdit_ = nullptr;
  DuiLib::CControlUI* favoriteBar_ = nullptr;
};

}  // namespace tarvo
