#pragma once
// The browser's one top-level window ("KXMainFrm", skin "newmainwnd.xml"): tab strip,
// toolbar with address bar and search box, the favourites-bar slot and the body bar
// in which the engine views live. It wires the page list to its controls and to the
// engines, drains the message bus every 25 ms, and turns notifications, key bindings,
// menu commands and its private messages into page operations. Full screen, the
// maximised tab-strip gap and closing are its own.
//
// Threads: the GUI thread only; other threads reach it through PostMessage on its
// handle and through the message bus. Lifetime: owned by the application object; one
// per process (Instance), registered from construction to destruction.
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

#include "platform/text.h"
#include "ui/window_impl_base.h"

namespace DuiLib {
class CButtonUI;
class CContainerUI;
class CControlUI;
class CEditUI;
class COptionUI;
}  // namespace DuiLib

namespace tarvo {

class CAddressEditUI;
class CBodyBar;
class IPageBodyFactory;
class FullScreenController;
class MainMenuOwner;
class MainWindowBusHandlers;
class MainWindowMessageHandler;
class BusPoller;
class Page;
class TabStrip;

class MainDuiWnd : public DuiLib::WindowImplBase {
 public:
  static constexpr const char* kClassName = "KXMainFrm";
  static constexpr const char* kSkinFile = "newmainwnd.xml";
  // The size the window is created with, before the working size is reached.
  static constexpr int kInitialWidth = 400;
  static constexpr int kInitialHeight = 110;
  // The wait before the window takes its working size (85 % of the screen).
  static constexpr int kWorkingSizeDelayMs = 2000;
  static constexpr int kBusPollMs = 25;

  // Registers the process-wide pointer; no system window yet. `bodies` opens the
  // window's pages in the engines (start-up makes it); a window without one shows
  // no pages.
  explicit MainDuiWnd(std::unique_ptr<IPageBodyFactory> bodies = nullptr);
  // Unregisters the pointer. The pages must have been shut down (close, or never
  // created); the controls go with the window.
  ~MainDuiWnd() override;
  MainDuiWnd(const MainDuiWnd&) = delete;
  MainDuiWnd& operator=(const MainDuiWnd&) = delete;

  // The one window, or nullptr. GUI thread.
  static MainDuiWnd* Instance();

  // Before CreateAndShow: a command-line address to open, in order.
  void AddStartUrl(WString url);
  // Creates the system window from the skin (400x110 at first), wires the page list,
  // the engines' windows and the bus poller, shows it, runs "windowinit" and opens the
  // start URLs at once (one tab each; the settings value "homepage" when there are
  // none). The working size follows kWorkingSizeDelayMs later. Returns false, showing
  // nothing, when the skin can't be loaded. Call once; the engines, settings, database
  // and language must be initialised before.
  bool CreateAndShow();
  // Called on the GUI thread once the window has reached its working size (the app
  // lets the splash close then). May be set before or after CreateAndShow.
  void SetReadyCallback(std::function<void()> ready);
  // Another browser process handed its addresses over: opens each in a new selected
  // tab ("newpage" when the list is empty), then raises and activates the window.
  void OpenHandedOverUrls(const std::vector<WString>& urls);

  // Full-screen state (for the app, the menus and tests).
  bool IsFullScreen() const;
  // Runs a command number (40000-40012) as the key bindings and menus do.
  void RunCommand(unsigned command);

  // Collaborators' entry points (GUI thread).
  // Shows (re-creates) or hides the favourites-bar slot as the first child of
  // "client_region".
  void ShowFavorBar();
  void HideFavorBar();
  // Opens the find window under the download button for the current page.
  void ShowFindWindow();
  // Opens the main menu under the logo button.
  void ShowMainMenu();
  bool IsFavorBarShown() const;
  // Texts follow a new language (the tooltips; controls read theirs when drawn).
  void OnLanguageChanged();
  // The body bar, or nullptr before the window exists.
  CBodyBar* BodyBar() const;
  DuiLib::CControlUI* Control(const QString& name) { return FindControl(name); }

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
  void SetToolTips();
  void ReachWorkingSize();
  void OnClick(DuiLib::TNotifyUI& msg);
  void OnTabRightClick(DuiLib::TNotifyUI& msg);
  void ChooseSearchEngine();
  void ShowSearchEngineIcon();
  void SearchInNewTab(const QString& text);
  void OnSize(DuiLib::WPARAM kind);
  void OnClose();
  // Key bindings of the window's own controls; true when the key was a binding.
  bool TranslateKey(DuiLib::UINT msg, DuiLib::WPARAM key, DuiLib::LPARAM modifiers);
  void ZoomCurrent(bool in);
  Page* CurrentPage() const;

  std::vector<WString> startUrls_;
  std::function<void()> ready_;
  // The vector of three words the design keeps; nothing here reads it.
  std::vector<unsigned> reserved_ = std::vector<unsigned>(3, 0);
  std::unique_ptr<TabStrip> strip_;
  std::unique_ptr<IPageBodyFactory> bodyFactory_;
  std::unique_ptr<FullScreenController> fullScreen_;
  std::unique_ptr<BusPoller> poller_;
  std::unique_ptr<MainWindowBusHandlers> busHandlers_;
  std::unique_ptr<MainWindowMessageHandler> messages_;
  std::unique_ptr<MainMenuOwner> menuOwner_;
  QTimer workingSizeTimer_;
  QString lastFindText_;
  bool closing_ = false;

  // Controls of the skin, looked up once in InitWindow (not owned: the control tree).
  DuiLib::CContainerUI* clientRegion_ = nullptr;
  DuiLib::CControlUI* tabHeadTop_ = nullptr;
  CAddressEditUI* addressEdit_ = nullptr;
  DuiLib::CEditUI* searchEdit_ = nullptr;
  DuiLib::CButtonUI* searchMiniButton_ = nullptr;
  DuiLib::CControlUI* favorBar_ = nullptr;
};

}  // namespace tarvo
