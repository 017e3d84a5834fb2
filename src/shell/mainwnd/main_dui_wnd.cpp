#include "account/vpn_route.h"
#include "shell/mainwnd/main_dui_wnd.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QWidget>

#include "platform/debug_output.h"
#include "settings/language_manager.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "shell/addressbar/c_address_edit.h"
#include "shell/addressbar/c_address_edit_ui.h"
#include "shell/commands/command_table.h"
#include "shell/commands/main_window_commands.h"
#include "shell/mainwnd/browser_windows.h"
#include "shell/mainwnd/command_router.h"
#include "shell/mainwnd/favorite_bar_slot_ui.h"
#include "shell/mainwnd/full_screen_controller.h"
#include "shell/mainwnd/main_menu_owner.h"
#include "shell/mainwnd/main_window_language_keys.h"
#include "shell/mainwnd/main_window_message_handler.h"
#include "shell/mainwnd/page_file_commands.h"
#include "shell/mainwnd/page_input_fence.h"
#include "shell/mainwnd/private_window_look.h"
#include "shell/mainwnd/right_click_button_ui.h"
#include "shell/mainwnd/search_commands.h"
#include "shell/mainwnd/tab_commands.h"
#include "shell/mainwnd/window_commands.h"
#include "shell/pages/c_body_bar.h"
#include "shell/pages/c_body_bar_ui.h"
#include "shell/pages/i_page_body_factory.h"
#include "shell/pages/page.h"
#include "shell/pages/page_host.h"
#include "shell/pages/qt_text.h"
#include "shell/pages/tab_strip.h"
#include "ui/button_ui.h"
#include "ui/container_ui.h"
#include "ui/edit_ui.h"
#include "ui/key_codes.h"
#include "ui/ui_notify_types.h"

namespace tarvo {
namespace {

using namespace DuiLib;

constexpr double kWorkingSizeShare = 0.85;

bool IsTag(const QString& tag, const char* name) { return tag.compare(QLatin1String(name), Qt::CaseInsensitive) == 0; }

}  // namespace

MainDuiWnd::MainDuiWnd(BrowserWindows& windows, std::unique_ptr<IPageBodyFactory> bodies)
    : windows_(windows), bodyFactory_(std::move(bodies)), pages_(windows.CrashReloads(), windows.Database(), VpnRoute(windows.Account()).AsFunction()) {
  router_ = std::make_unique<CommandRouter>(*this, &windows_.Features());
  windows_.Add(this);
}

MainDuiWnd::~MainDuiWnd() {
  windows_.Remove(this);
  if (messages_ != nullptr) m_pm.RemoveTranslateAccelerator(messages_.get());
  if (bodyFactory_ != nullptr) bodyFactory_->Detach();
}

void MainDuiWnd::AddStartUrl(WString url) { startUrls_.push_back(std::move(url)); }

void MainDuiWnd::SetReadyCallback(std::function<void()> ready) { ready_ = std::move(ready); }

bool MainDuiWnd::CreateAndShow() {
  if (GetHWND() != 0) return false;
  if (Create(0, QStringLiteral("TarvoBrowser"), UI_WNDSTYLE_FRAME & ~WS_VISIBLE, 0, 0, 0, kInitialWidth,
             kInitialHeight) == 0) {
    return false;
  }
  if (m_pm.GetRoot() == nullptr || BodyBar() == nullptr || tabCommands_ == nullptr) {
    std::fprintf(stderr, "skin: the main window's skin \"%s\" could not be loaded\n", kSkinFile);
    DestroyNative(IDCANCEL);
    return false;
  }
  // Small at first, below the skin's minimum size, which applies again from the
  // working size on.
  GetWidget()->setMinimumSize(0, 0);
  GetWidget()->resize(kInitialWidth, kInitialHeight);
  CenterWindow();
  // Where the compositor places the window (Wayland) it does so once, by the size the
  // window is first shown with, and never moves it for the program: a window that grew
  // afterwards would reach past the screen's edge. It starts at its working size there.
  if (!CanPlaceTopLevelWindows()) TakeWorkingSize();
  ShowWindow(true);
  windows_.MarkUsed(this);
  if (startPages_) {
    auto open = std::move(startPages_);
    startPages_ = nullptr;
    open(*this);
    return true;
  }
  if (startUrls_.empty()) startUrls_.push_back(tabCommands_->StartPageUrl(SettingsKeys::kHomePage));
  for (const WString& url : startUrls_) pages_.OpenUrlInNewTab(url);
  startUrls_.clear();
  return true;
}

void MainDuiWnd::OpenHandedOverUrls(const std::vector<WString>& urls) {
  if (GetHWND() == 0) return;
  if (urls.empty()) {
    RunCommand(Commands::kNewTab);
  } else {
    for (const WString& url : urls) pages_.OpenUrlInNewTab(url);
  }
  if (QWidget* host = GetWidget()) {
    if (host->isMinimized()) host->showNormal();
    host->raise();
    host->activateWindow();
  }
  windows_.MarkUsed(this);
}

std::unique_ptr<CControlUI> MainDuiWnd::CreateControl(const QString& tag) {
  if (IsTag(tag, FavoriteBarSlotUI::kTag)) return MakeFavoriteBar();
  if (IsTag(tag, "AddressEdit")) return std::make_unique<CAddressEditUI>();
  if (IsTag(tag, CBodyBarUI::kTag)) return std::make_unique<CBodyBarUI>();
  if (IsTag(tag, RightClickButtonUI::kTag)) return std::make_unique<RightClickButtonUI>();
  return nullptr;
}

void MainDuiWnd::InitWindow() {
  clientRegion_ = FindControl<CContainerUI>(QStringLiteral("client_region"));
  tabHeadTop_ = FindControl(QStringLiteral("browser_tabhead_top"));
  addressEdit_ = FindControl<CAddressEditUI>(QStringLiteral("AddressEdit"));
  favoriteBar_ = FindControl(QString::fromLatin1(FavoriteBarSlotUI::kName));
  auto* tabHead = FindControl<CContainerUI>(QStringLiteral("browser_tabhead"));
  CBodyBar* bodyBar = BodyBar();
  if (tabHead == nullptr || bodyBar == nullptr) return;

  strip_ = std::make_unique<TabStrip>(tabHead, GetHWND());
  pages_.SetPrivate(bodyFactory_ != nullptr && bodyFactory_->IsPrivate());
  if (pages_.IsPrivate()) PrivateWindowLook::Apply(*this, *strip_);
  pages_.Attach(strip_.get(), bodyBar, GetHWND());
  pages_.SetBodyFactory(bodyFactory_.get());
  if (bodyFactory_ != nullptr) bodyFactory_->Attach(PageHost{GetHWND(), bodyBar, &pages_});
  new PageInputFence(bodyBar->GetWidget());  // owned by the body bar's widget
  WireToolbar();
  if (addressEdit_ != nullptr) {
    addressEdit_->SetTypedHandler([this](const WString& typed) {
      if (Page* page = pages_.Current()) page->Navigate(typed);
    });
  }

  fullScreen_ = std::make_unique<FullScreenController>(*this, [this] {
    Page* page = CurrentPage();
    QWidget* body = page != nullptr && page->Body() != nullptr ? page->Body()->GetWindow() : nullptr;
    if (body == nullptr && BodyBar() != nullptr) body = BodyBar()->GetWidget();
    return body != nullptr ? QRect(body->mapToGlobal(QPoint(0, 0)), body->size()) : QRect();
  });
  messages_ = std::make_unique<MainWindowMessageHandler>(pages_);
  menuOwner_ = std::make_unique<MainMenuOwner>(*this, windows_.Features(), windows_.Account());
  tabCommands_ = std::make_unique<TabCommands>(*this, *router_);
  windowCommands_ = std::make_unique<WindowCommands>(*this, *router_);
  searchCommands_ = std::make_unique<SearchCommands>(*this, *router_);
  pageFileCommands_ = std::make_unique<PageFileCommands>(*this, *router_);
  m_pm.AddTranslateAccelerator(messages_.get());
  windows_.WindowBuilt(*this);
}

void MainDuiWnd::WireToolbar() {
  TabWnd::Controls controls;
  controls.home = FindControl(QStringLiteral("home_go"));
  controls.back = FindControl(QStringLiteral("back_btn"));
  controls.forward = FindControl(QStringLiteral("forward_btn"));
  controls.reload = FindControl(QStringLiteral("refresh_btn"));
  controls.stop = FindControl(QStringLiteral("stop_btn"));
  controls.lock = FindControl(QStringLiteral("lock_btn"));
  controls.address = addressEdit_;
  controls.favorite = FindControl(QStringLiteral("favor_btn"));
  pages_.GetTabWnd().SetControls(controls);
}

void MainDuiWnd::Notify(TNotifyUI& msg) {
  if (msg.sType == kNotifyWindowInit) {
    OnWindowInit();
  } else {
    OnControlEvent(msg);
  }
}

void MainDuiWnd::OnControlEvent(TNotifyUI& msg) {
  if (msg.pSender == nullptr) return;
  ControlEvent event;
  if (msg.sType == kNotifyClick) {
    event = ControlEvent::kClick;
  } else if (msg.sType == kNotifyRightClick) {
    event = ControlEvent::kRightClick;
  } else if (msg.sType == kNotifyReturn) {
    event = ControlEvent::kReturn;
  } else {
    return;
  }
  if (const unsigned command = CommandTable::ForControl(ControlSurface::kWindow, event, msg.pSender->GetName())) {
    CommandArgs args;
    args.sender = msg.pSender;
    RunCommand(command, args);
  }
}

void MainDuiWnd::OnWindowInit() {
  // Without its skin (a missing or damaged package) the window has none of its
  // parts; CreateAndShow reports that and gives the window up.
  if (searchCommands_ == nullptr) return;
  searchCommands_->ShowSearchEngineIcon();
  SetToolTipsAndNames();
  PrivateWindowLook::ShowTexts(*this, *this, pages_.IsPrivate());
  auto& settings = SettingsRegistry::Instance();
  if (settings.Get(SettingsKeys::kApiUrl) == settings.Get(SettingsKeys::kApiUrlDev)) {
    if (auto* logo = FindControl<CButtonUI>(QStringLiteral("logo_btn"))) {
      logo->SetNormalImage(QStringLiteral("Toolbar\\logo_dev.png"));
    }
  }
  SetTimer(0, kBusPollMs);
  // The page loads at once; only the window's growth to its working size waits.
  workingSizeTimer_.setSingleShot(true);
  QObject::connect(&workingSizeTimer_, &QTimer::timeout, [this] { ReachWorkingSize(); });
  workingSizeTimer_.start(workingSizeDelayMs_);
}

void MainDuiWnd::SetToolTipsAndNames() {
  const LanguageManager& language = LanguageManager::Instance();
  for (const ToolbarToolTip& tip : kToolbarToolTips) {
    if (CControlUI* control = FindControl(QString::fromLatin1(tip.control))) {
      control->SetToolTip(Q(language.GetText(tip.languageKey)));
    }
  }
  for (const ToolbarToolTip& name : kToolbarNames) {
    if (CControlUI* control = Control(QString::fromLatin1(name.control))) {
      control->SetAccessibleName(Q(language.GetText(name.languageKey)));
    }
  }
  // The search field's hint is the search button's word, in the interface language
  // rather than the skin's.
  if (auto* search = FindControl<CEditUI>(QStringLiteral("SearchEdit"))) {
    search->SetAttribute(QStringLiteral("tipvalue"), Q(language.GetText(kSearchHint)));
  }
}

void MainDuiWnd::ReachWorkingSize() {
  if (GetWidget() == nullptr || closing_) return;
  if (!hasWorkingSize_) TakeWorkingSize();
  if (ready_) ready_();
}

void MainDuiWnd::TakeWorkingSize() {
  QWidget* host = GetWidget();
  hasWorkingSize_ = true;
  QScreen* screen = host->screen() != nullptr ? host->screen() : QGuiApplication::primaryScreen();
  const SIZE minimum = m_pm.GetMinInfo();
  host->setMinimumSize(minimum.cx, minimum.cy);
  if (screen != nullptr && !IsFullScreen() && !host->isMaximized()) {
    const QSize size = screen->geometry().size();
    SetWindowRect(QRect(0, 0, static_cast<int>(size.width() * kWorkingSizeShare),
                        static_cast<int>(size.height() * kWorkingSizeShare)));
    CenterWindow();
    if (!placementOffset_.isNull()) SetWindowRect(GetWindowRect().translated(placementOffset_));
  }
}

void MainDuiWnd::RunCommand(unsigned command, const CommandArgs& args) {
  if (closing_ || router_ == nullptr) return;
  router_->Run(command, args);
}

bool MainDuiWnd::IsCommandAvailable(unsigned command) const {
  return router_ != nullptr && router_->IsAvailable(command);
}

QRect MainDuiWnd::ControlScreenRect(const QString& name) const {
  CControlUI* control = Control(name);
  QWidget* host = GetWidget();
  if (control == nullptr || host == nullptr) return QRect();
  return QRect(host->mapToGlobal(control->GetPos().topLeft()), control->GetPos().size());
}

bool MainDuiWnd::IsFullScreen() const { return fullScreen_ != nullptr && fullScreen_->IsActive(); }

void MainDuiWnd::FocusAddressBar() {
  if (addressEdit_ == nullptr) return;
  addressEdit_->SetFocus();
  if (CAddressEdit* native = addressEdit_->GetAddressEdit(); native != nullptr && native->GetEdit() != nullptr) {
    native->GetEdit()->selectAll();
  }
}

CBodyBar* MainDuiWnd::BodyBar() const {
  auto* control = m_pm.GetRoot() != nullptr ? dynamic_cast<CBodyBarUI*>(m_pm.FindControl(QStringLiteral("body_bar")))
                                            : nullptr;
  return control != nullptr ? control->GetBodyBar() : nullptr;
}

CControlUI* MainDuiWnd::Control(const QString& name) const {
  return m_pm.GetRoot() != nullptr ? m_pm.FindControl(name) : nullptr;
}

LRESULT MainDuiWnd::MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) {
  if (uMsg == WM_KEYDOWN || uMsg == WM_SYSKEYDOWN) {
    if (const unsigned command =
            CommandTable::ForKey(KeyScope::kWindow, static_cast<unsigned>(wParam), static_cast<unsigned>(lParam))) {
      RunCommand(command);
      bHandled = true;
      return 0;
    }
  }
  return WindowImplBase::MessageHandler(uMsg, wParam, lParam, bHandled);
}

bool MainDuiWnd::ResponseDefaultKeyEvent(WPARAM) { return false; }

LRESULT MainDuiWnd::HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) {
  bHandled = false;
  if (const unsigned command = CommandTable::ForMessage(uMsg)) {
    bHandled = true;
    RunCommand(command);
    return 0;
  }
  if (messages_ != nullptr) {
    const LRESULT result = messages_->Handle(uMsg, wParam, lParam, bHandled);
    if (bHandled) return result;
  }
  switch (uMsg) {
    case WM_TIMER:
      if (!closing_) windows_.Drain();
      return 0;
    case WM_SETFOCUS:
      windows_.MarkUsed(this);
      return 0;
    case WM_COMMAND:
      if (HiWord(wParam) == Commands::kCommandSource) {
        bHandled = true;
        RunCommand(LoWord(wParam));
      }
      return 0;
    case WM_MOUSEWHEEL:
      if ((LoWord(wParam) & MK_CONTROL) != 0) {
        bHandled = true;
        RunCommand(HiShort(wParam) > 0 ? Commands::kZoomIn : Commands::kZoomOut);
      }
      return 0;
    case WM_NCRBUTTONDOWN:
      bHandled = true;
      windowCommands_->ShowCaptionMenu(QPoint(LoShort(static_cast<WPARAM>(lParam)), HiShort(static_cast<WPARAM>(lParam))));
      return 0;
    case WM_SIZE:
      OnSize(wParam);
      return 0;
    case WM_NCHITTEST:
      if (IsFullScreen()) {
        bHandled = true;
        return HTNOWHERE;
      }
      return 0;
    case WM_CLOSE:
      bHandled = true;
      OnClose();
      return 0;
    default:
      return 0;
  }
}

void MainDuiWnd::OnSize(WPARAM kind) {
  // The window manager gives a maximised window its monitor's work area; moving it
  // here would end the maximised state.
  const bool maximised = kind == SIZE_MAXIMIZED;
  if (tabHeadTop_ != nullptr) tabHeadTop_->SetAttribute(QStringLiteral("height"), maximised ? "1" : "10");
  if (auto* maxButton = FindControl(QStringLiteral("maxbtn"))) maxButton->SetVisible(!maximised);
  if (auto* restoreButton = FindControl(QStringLiteral("restorebtn"))) restoreButton->SetVisible(maximised);
}

void MainDuiWnd::OnClose() {
  if (closing_) return;
  windows_.WindowClosing(this);
  closing_ = true;
  KillAllTimers();
  workingSizeTimer_.stop();
  if (fullScreen_ != nullptr) fullScreen_->Leave();
  // Every page ends its engine work now, in tab order, while the window and its
  // body bar still exist; after the loop ends nothing touches a page again.
  pages_.CloseAll();
  pages_.GetTabWnd().Detach();
  pages_.SetBodyFactory(nullptr);
  pages_.Attach(nullptr, nullptr, 0);
  if (bodyFactory_ != nullptr) bodyFactory_->Detach();
  ShowWindow(false, false);
  // The last window ends the event loop; the application then shuts the engine down
  // in order and cleans up. Any other window is destroyed and the browser goes on.
  windows_.WindowClosed(this);
}

std::unique_ptr<CControlUI> MainDuiWnd::MakeFavoriteBar() {
  if (std::unique_ptr<CControlUI> bar = windows_.MakeFavoriteBar(*this)) return bar;
  return std::make_unique<FavoriteBarSlotUI>();
}

void MainDuiWnd::ShowFavoriteBar() {
  if (clientRegion_ == nullptr) return;
  if (favoriteBar_ != nullptr) clientRegion_->Remove(favoriteBar_);
  std::unique_ptr<CControlUI> bar = MakeFavoriteBar();
  bar->ApplyAttributeList(QString::fromLatin1(FavoriteBarSlotUI::kAttributes));
  favoriteBar_ = bar.get();
  if (!clientRegion_->AddAt(std::move(bar), 0)) favoriteBar_ = nullptr;
  SetToolTipsAndNames();
}

void MainDuiWnd::HideFavoriteBar() {
  if (clientRegion_ == nullptr || favoriteBar_ == nullptr) return;
  clientRegion_->Remove(favoriteBar_);
  favoriteBar_ = nullptr;
}

bool MainDuiWnd::IsFavoriteBarShown() const { return favoriteBar_ != nullptr; }

IMainMenuOwner& MainDuiWnd::MenuOwner() const { return *menuOwner_; }

void MainDuiWnd::OnLanguageChanged() {
  SetToolTipsAndNames();
  PrivateWindowLook::ShowTexts(*this, *this, pages_.IsPrivate());
}

}  // namespace tarvo
