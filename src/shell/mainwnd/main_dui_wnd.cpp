#include "shell/mainwnd/main_dui_wnd.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWheelEvent>
#include <QWidget>
#include <QCursor>

#include "settings/language_manager.h"
#include "settings/settings_registry.h"
#include "platform/debug_output.h"
#include "shell/addressbar/c_address_edit_ui.h"
#include "shell/addressbar/search_engine_wnd.h"
#include "shell/addressbar/web_search.h"
#include "bus/bus_keys.h"
#include "bus/message_bus.h"
#include "shell/commands/main_window_commands.h"
#include "shell/mainwnd/bus_poller.h"
#include "shell/mainwnd/favor_bar_slot_ui.h"
#include "shell/mainwnd/full_screen_controller.h"
#include "shell/mainwnd/key_bindings.h"
#include "shell/mainwnd/main_window_bus_handlers.h"
#include "shell/mainwnd/main_window_language_keys.h"
#include "shell/mainwnd/main_window_message_handler.h"
#include "shell/mainwnd/main_menu_owner.h"
#include "shell/mainwnd/page_input_fence.h"
#include "shell/mainwnd/right_click_button_ui.h"
#include "shell/mainwnd/typed_address.h"
#include "shell/pages/c_body_bar.h"
#include "shell/pages/c_body_bar_ui.h"
#include "shell/pages/i_page_body_factory.h"
#include "shell/pages/page.h"
#include "shell/pages/pages.h"
#include "shell/pages/tab_strip.h"
#include "shell/windows/find_wnd.h"
#include "shell/windows/main_right_menu_wnd.h"
#include "shell/windows/menu_wnd.h"
#include "shell/windows/new_window_launcher.h"
#include "shell/windows/tab_right_menu_wnd.h"
#include "store/search_records.h"
#include "ui/button_ui.h"
#include "ui/container_ui.h"
#include "ui/edit_ui.h"
#include "ui/ui_notify_types.h"

namespace tarvo {
namespace {

using namespace DuiLib;

// The one main window of the process (not owned: the application owns it).
MainDuiWnd* g_mainWindow = nullptr;

constexpr double kWorkingSizeShare = 0.85;
// The find window's width in its skin; it is placed before it exists.
constexpr int kFindWindowWidth = 420;

QString Q(const WString& text) { return QString::fromStdU16String(text); }

// The start page named by a settings key, with the chosen search engine so that
// its search box searches like the toolbar's.
WString StartPageUrl(const char16_t* key) {
  const SearchRecords records;
  return WebSearch(records).StartPageWithEngine(SettingsRegistry::Instance().Get(key));
}

WString NewTabUrl() { return StartPageUrl(u"newpage"); }

bool IsTag(const QString& tag, const char* name) { return tag.compare(QLatin1String(name), Qt::CaseInsensitive) == 0; }

}  // namespace

MainDuiWnd::MainDuiWnd(std::unique_ptr<IPageBodyFactory> bodies) : bodyFactory_(std::move(bodies)) {
  g_mainWindow = this;
}

MainDuiWnd::~MainDuiWnd() {
  if (messages_ != nullptr) m_pm.RemoveTranslateAccelerator(messages_.get());
  if (bodyFactory_ != nullptr) bodyFactory_->Detach();
  if (g_mainWindow == this) g_mainWindow = nullptr;
}

MainDuiWnd* MainDuiWnd::Instance() { return g_mainWindow; }

void MainDuiWnd::AddStartUrl(WString url) { startUrls_.push_back(std::move(url)); }

void MainDuiWnd::SetReadyCallback(std::function<void()> ready) { ready_ = std::move(ready); }

bool MainDuiWnd::CreateAndShow() {
  if (GetHWND() != 0) return false;
  if (Create(0, QStringLiteral("TarvoBrowser"), UI_WNDSTYLE_FRAME & ~WS_VISIBLE, 0, 0, 0, kInitialWidth,
             kInitialHeight) == 0) {
    return false;
  }
  if (m_pm.GetRoot() == nullptr || BodyBar() == nullptr) {
    std::fprintf(stderr, "skin: the main window's skin \"%s\" could not be loaded\n", kSkinFile);
    DestroyNative(IDCANCEL);
    return false;
  }
  // Small at first, below the skin's minimum size, which applies again from the
  // working size on.
  GetWidget()->setMinimumSize(0, 0);
  GetWidget()->resize(kInitialWidth, kInitialHeight);
  CenterWindow();
  ShowWindow(true);
  if (startUrls_.empty()) startUrls_.push_back(StartPageUrl(u"homepage"));
  for (const WString& url : startUrls_) Pages::Instance().OpenUrlInNewTab(url);
  startUrls_.clear();
  return true;
}

void MainDuiWnd::OpenHandedOverUrls(const std::vector<WString>& urls) {
  if (GetHWND() == 0) return;
  if (urls.empty()) {
    Pages::Instance().OpenUrlInNewTab(NewTabUrl());
  } else {
    for (const WString& url : urls) Pages::Instance().OpenUrlInNewTab(url);
  }
  if (QWidget* host = GetWidget()) {
    if (host->isMinimized()) host->showNormal();
    host->raise();
    host->activateWindow();
  }
}

std::unique_ptr<CControlUI> MainDuiWnd::CreateControl(const QString& tag) {
  if (IsTag(tag, FavorBarSlotUI::kTag)) return std::make_unique<FavorBarSlotUI>();
  if (IsTag(tag, "AddressEdit")) return std::make_unique<CAddressEditUI>();
  if (IsTag(tag, CBodyBarUI::kTag)) return std::make_unique<CBodyBarUI>();
  if (IsTag(tag, RightClickButtonUI::kTag)) return std::make_unique<RightClickButtonUI>();
  return nullptr;
}

void MainDuiWnd::InitWindow() {
  clientRegion_ = FindControl<CContainerUI>(QStringLiteral("client_region"));
  tabHeadTop_ = FindControl(QStringLiteral("browser_tabhead_top"));
  addressEdit_ = FindControl<CAddressEditUI>(QStringLiteral("AddressEdit"));
  searchEdit_ = FindControl<CEditUI>(QStringLiteral("SearchEdit"));
  searchMiniButton_ = FindControl<CButtonUI>(QStringLiteral("searchmini_btn"));
  favorBar_ = FindControl(QString::fromLatin1(FavorBarSlotUI::kName));
  auto* tabHead = FindControl<CContainerUI>(QStringLiteral("browser_tabhead"));
  CBodyBar* bodyBar = BodyBar();
  if (tabHead == nullptr || bodyBar == nullptr) return;

  strip_ = std::make_unique<TabStrip>(tabHead, GetHWND());
  Pages& pages = Pages::Instance();
  pages.Attach(strip_.get(), bodyBar, GetHWND());
  pages.SetBodyFactory(bodyFactory_.get());
  if (bodyFactory_ != nullptr) bodyFactory_->Attach(GetHWND(), bodyBar);
  new PageInputFence(bodyBar->GetWidget());  // owned by the body bar's widget
  WireToolbar();

  fullScreen_ = std::make_unique<FullScreenController>(*this, [this] {
    Page* page = CurrentPage();
    QWidget* body = page != nullptr && page->Body() != nullptr ? page->Body()->GetWindow() : nullptr;
    if (body == nullptr && BodyBar() != nullptr) body = BodyBar()->GetWidget();
    return body != nullptr ? QRect(body->mapToGlobal(QPoint(0, 0)), body->size()) : QRect();
  });
  poller_ = std::make_unique<BusPoller>();
  busHandlers_ = std::make_unique<MainWindowBusHandlers>(*this);
  busHandlers_->Install(*poller_);
  messages_ = std::make_unique<MainWindowMessageHandler>(*this, bodyFactory_.get());
  menuOwner_ = std::make_unique<MainMenuOwner>(*this);
  m_pm.AddTranslateAccelerator(messages_.get());
}

void MainDuiWnd::WireToolbar() {
  TabWnd::Controls controls;
  controls.home = FindControl(QStringLiteral("home_go"));
  controls.back = FindControl(QStringLiteral("back_btn"));
  controls.forward = FindControl(QStringLiteral("forward_btn"));
  controls.reload = FindControl(QStringLiteral("refresh_btn"));
  controls.stop = FindControl(QStringLiteral("stop_btn"));
  controls.protect = FindControl(QStringLiteral("protectsign_btn"));
  controls.lock = FindControl(QStringLiteral("lock_btn"));
  controls.address = addressEdit_;
  controls.favourite = FindControl(QStringLiteral("favor_btn"));
  Pages::Instance().GetTabWnd().SetControls(controls);
}

void MainDuiWnd::Notify(TNotifyUI& msg) {
  if (msg.sType == kNotifyWindowInit) {
    OnWindowInit();
  } else if (msg.sType == kNotifyClick) {
    OnClick(msg);
  } else if (msg.sType == kNotifyReturn && msg.pSender != nullptr) {
    if (msg.pSender == searchEdit_) SearchInNewTab(searchEdit_->GetText());
    if (msg.pSender == addressEdit_) {
      if (Page* page = CurrentPage()) page->Navigate(TypedAddress::Clean(addressEdit_->GetText().toStdU16String()));
    }
  } else if (msg.sType == kNotifyRightClick && msg.pSender != nullptr) {
    if (msg.pSender->GetName() == QLatin1String("TabOption")) OnTabRightClick(msg);
    if (msg.pSender->GetName() == QLatin1String("protect_btn")) DebugOutput("no window for: protection menu");
  }
}

void MainDuiWnd::OnWindowInit() {
  ShowSearchEngineIcon();
  SetToolTips();
  auto& settings = SettingsRegistry::Instance();
  if (settings.Get(u"app/apiurl") == settings.Get(u"app/apiurl_dev")) {
    if (auto* logo = FindControl<CButtonUI>(QStringLiteral("logo_btn"))) {
      logo->SetNormalImage(QStringLiteral("Toolbar\\logo_dev.png"));
    }
  }
  SetTimer(0, kBusPollMs);
  // The page loads at once; only the window's growth to its working size waits.
  workingSizeTimer_.setSingleShot(true);
  QObject::connect(&workingSizeTimer_, &QTimer::timeout, [this] { ReachWorkingSize(); });
  workingSizeTimer_.start(kWorkingSizeDelayMs);
}

void MainDuiWnd::SetToolTips() {
  const LanguageManager& language = LanguageManager::Instance();
  for (const ToolbarToolTip& tip : kToolbarToolTips) {
    if (CControlUI* control = FindControl(QString::fromLatin1(tip.control))) {
      control->SetToolTip(Q(language.GetText(tip.languageKey)));
    }
  }
}

void MainDuiWnd::ReachWorkingSize() {
  QWidget* host = GetWidget();
  if (host == nullptr || closing_) return;
  QScreen* screen = host->screen() != nullptr ? host->screen() : QGuiApplication::primaryScreen();
  const SIZE minimum = m_pm.GetMinInfo();
  host->setMinimumSize(minimum.cx, minimum.cy);
  if (screen != nullptr && !IsFullScreen() && !host->isMaximized()) {
    const QSize size = screen->geometry().size();
    SetWindowRect(QRect(0, 0, static_cast<int>(size.width() * kWorkingSizeShare),
                        static_cast<int>(size.height() * kWorkingSizeShare)));
    CenterWindow();
  }
  if (ready_) ready_();
}

void MainDuiWnd::OnClick(TNotifyUI& msg) {
  if (msg.pSender == nullptr) return;
  const QString name = msg.pSender->GetName();
  Pages& pages = Pages::Instance();
  Page* page = CurrentPage();
  if (name == QLatin1String("TabOption")) {
    if (Page* clicked = pages.PageOfOption(msg.pSender)) pages.SelectPage(clicked);
  } else if (name == QLatin1String("TabClose")) {
    if (Page* closing = pages.PageOfCloseButton(msg.pSender)) pages.ClosePage(closing);
  } else if (name == QLatin1String("browser_tabadd")) {
    pages.OpenUrlInNewTab(NewTabUrl());
  } else if (name == QLatin1String("home_go")) {
    if (page != nullptr) page->Navigate(WString());
  } else if (name == QLatin1String("back_btn")) {
    if (page != nullptr) page->GoBack();
  } else if (name == QLatin1String("forward_btn")) {
    if (page != nullptr) page->GoForward();
  } else if (name == QLatin1String("refresh_btn")) {
    if (page != nullptr) page->Reload();
  } else if (name == QLatin1String("stop_btn")) {
    if (page != nullptr && page->Body() != nullptr) {
      page->Body()->Stop();
      page->SetLoading(false);
    }
  } else if (name == QLatin1String("se_btn") || name == QLatin1String("searchmini_btn")) {
    ChooseSearchEngine();
  } else if (name == QLatin1String("search_btn")) {
    if (searchEdit_ != nullptr) SearchInNewTab(searchEdit_->GetText());
  } else if (name == QLatin1String("logo_btn")) {
    ShowMainMenu();
  } else if (name == QLatin1String("minbtn")) {
    SendMessage(WM_SYSCOMMAND, SC_MINIMIZE);
  } else if (name == QLatin1String("maxbtn")) {
    SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE);
  } else if (name == QLatin1String("restorebtn")) {
    SendMessage(WM_SYSCOMMAND, SC_RESTORE);
  } else if (name == QLatin1String("closebtn")) {
    Close(IDOK);
  } else if (name == QLatin1String("favor_btn") || name == QLatin1String("qrcode_btn") ||
             name == QLatin1String("protect_btn") || name == QLatin1String("protectsign_btn") ||
             name == QLatin1String("empty_btn") || name == QLatin1String("download_btn")) {
    DebugOutput("no window for: " + name.toStdString());
  }
}

void MainDuiWnd::OnTabRightClick(TNotifyUI& msg) {
  Page* page = Pages::Instance().PageOfOption(msg.pSender);
  if (page == nullptr) return;
  // The menu may outlive the page: it asks the page list whether the page is listed.
  auto listed = [page] { return Pages::Instance().IndexOf(page) >= 0; };
  TabRightMenuWnd::TabActions actions;
  actions.isPinned = [page, listed] { return listed() && page->GetTab()->IsPinned(); };
  actions.pin = [page, listed] {
    if (listed()) Pages::Instance().PinPage(page, true);
  };
  actions.unpin = [page, listed] {
    if (listed()) Pages::Instance().PinPage(page, false);
  };
  auto* menu = new TabRightMenuWnd(std::move(actions));
  menu->Popup(GetHWND(), QCursor::pos());
}

void MainDuiWnd::ChooseSearchEngine() {
  auto* button = FindControl(QStringLiteral("se_btn"));
  QWidget* host = GetWidget();
  if (button == nullptr || host == nullptr) return;
  const QRect onScreen(host->mapToGlobal(button->GetPos().topLeft()), button->GetPos().size());
  SearchEngineWnd chooser;
  const int result = chooser.Choose(GetHWND(), SearchEngineWnd::TopLeftUnder(onScreen));
  const SearchRecords records;
  WString icon;
  if (WebSearch(records).ApplyChooserResult(result, icon) == 0 && searchMiniButton_ != nullptr) {
    searchMiniButton_->SetNormalImage(Q(icon));
  }
}

void MainDuiWnd::ShowSearchEngineIcon() {
  const WString icon = SearchRecords().GetSearchEngineIcon();
  if (searchMiniButton_ != nullptr && !icon.empty()) searchMiniButton_->SetNormalImage(Q(icon));
}

void MainDuiWnd::SearchInNewTab(const QString& text) {
  const SearchRecords records;
  WebSearch(records).Search(text, [](const WString& url) { Pages::Instance().OpenUrlInNewTab(url); });
}

bool MainDuiWnd::IsFullScreen() const { return fullScreen_ != nullptr && fullScreen_->IsActive(); }

CBodyBar* MainDuiWnd::BodyBar() const {
  auto* control = m_pm.GetRoot() != nullptr ? dynamic_cast<CBodyBarUI*>(m_pm.FindControl(QStringLiteral("body_bar")))
                                            : nullptr;
  return control != nullptr ? control->GetBodyBar() : nullptr;
}

Page* MainDuiWnd::CurrentPage() const { return Pages::Instance().Current(); }

LRESULT MainDuiWnd::MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) {
  if ((uMsg == WM_KEYDOWN || uMsg == WM_SYSKEYDOWN) && TranslateKey(uMsg, wParam, lParam)) {
    bHandled = true;
    return 0;
  }
  return WindowImplBase::MessageHandler(uMsg, wParam, lParam, bHandled);
}

bool MainDuiWnd::TranslateKey(UINT, WPARAM key, LPARAM modifiers) {
  const unsigned command = KeyBindings::CommandFor(static_cast<unsigned>(key), static_cast<unsigned>(modifiers));
  if (command == 0) return false;
  RunCommand(command);
  return true;
}

bool MainDuiWnd::ResponseDefaultKeyEvent(WPARAM) { return false; }

LRESULT MainDuiWnd::HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) {
  bHandled = false;
  if (messages_ != nullptr) {
    const LRESULT result = messages_->Handle(uMsg, wParam, lParam, bHandled);
    if (bHandled) return result;
  }
  switch (uMsg) {
    case WM_TIMER:
      if (poller_ != nullptr && !closing_) poller_->Drain();
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
        ZoomCurrent(HiShort(wParam) > 0);
      }
      return 0;
    case WM_NCRBUTTONDOWN: {
      bHandled = true;
      auto* menu = new MainRightMenuWnd(GetHWND());
      menu->Popup(GetHWND(), QPoint(LoShort(static_cast<WPARAM>(lParam)), HiShort(static_cast<WPARAM>(lParam))));
      return 0;
    }
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

void MainDuiWnd::RunCommand(unsigned command) {
  Page* page = CurrentPage();
  switch (command) {
    case Commands::kCloseTab:
      if (page != nullptr) Pages::Instance().ClosePage(page);
      break;
    case Commands::kShowClearData:
      DebugOutput("no window for: clear browsing data");
      break;
    case Commands::kFindInPage:
      MessageBus::Instance().Post(BusKeys::kProtectShowFindDialog, BusKeys::kSignal);
      break;
    case Commands::kToggleFullScreen:
      if (fullScreen_ != nullptr) fullScreen_->Toggle();
      break;
    case Commands::kHideFavorBar:
      HideFavorBar();
      break;
    case Commands::kNewIncognitoWindow:
    case Commands::kNewWindow:
      if (NewWindowLauncher::Launch() != 0) DebugOutput("new window not started");
      break;
    case Commands::kShowFavorBar:
      ShowFavorBar();
      break;
    case Commands::kZoomIn:
    case Commands::kZoomOut:
      ZoomCurrent(command == Commands::kZoomIn);
      break;
    case Commands::kReload:
      if (page != nullptr) page->Reload();
      break;
    case Commands::kLeaveFullScreen:
      if (fullScreen_ != nullptr) fullScreen_->Leave();
      break;
    default:  // kNothing and unknown numbers
      break;
  }
}

void MainDuiWnd::ZoomCurrent(bool in) {
  Page* page = CurrentPage();
  if (page == nullptr || page->Body() == nullptr) return;
  in ? page->Body()->ZoomIn() : page->Body()->ZoomOut();
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
  closing_ = true;
  KillAllTimers();
  workingSizeTimer_.stop();
  if (fullScreen_ != nullptr) fullScreen_->Leave();
  // Every page ends its engine work now, in tab order, while the window and its
  // body bar still exist; after the loop ends nothing touches a page again.
  Pages& pages = Pages::Instance();
  pages.CloseAll();
  pages.GetTabWnd().Detach();
  pages.SetBodyFactory(nullptr);
  pages.Attach(nullptr, nullptr, 0);
  if (bodyFactory_ != nullptr) bodyFactory_->Detach();
  ShowWindow(false, false);
  // The application shuts the engine down in order and cleans up after the loop.
  QCoreApplication::exit(0);
}

void MainDuiWnd::ShowFavorBar() {
  if (clientRegion_ == nullptr) return;
  if (favorBar_ != nullptr) clientRegion_->Remove(favorBar_);
  auto slot = std::make_unique<FavorBarSlotUI>();
  slot->ApplyAttributeList(QString::fromLatin1(FavorBarSlotUI::kAttributes));
  favorBar_ = slot.get();
  if (!clientRegion_->AddAt(std::move(slot), 0)) favorBar_ = nullptr;
}

void MainDuiWnd::HideFavorBar() {
  if (clientRegion_ == nullptr || favorBar_ == nullptr) return;
  clientRegion_->Remove(favorBar_);
  favorBar_ = nullptr;
}

bool MainDuiWnd::IsFavorBarShown() const { return favorBar_ != nullptr; }

void MainDuiWnd::ShowFindWindow() {
  Page* page = CurrentPage();
  CControlUI* download = FindControl(QStringLiteral("download_btn"));
  QWidget* host = GetWidget();
  if (page == nullptr || download == nullptr || host == nullptr) return;
  const QRect onScreen(host->mapToGlobal(download->GetPos().topLeft()), download->GetPos().size());
  FindWnd find(
      [](const QString& text, bool forward) {
        // The page may have closed while the window was open.
        Page* current = Pages::Instance().Current();
        if (current == nullptr || current->Body() == nullptr) return;
        forward ? current->Body()->FindNext(text.toStdU16String())
                : current->Body()->FindPrevious(text.toStdU16String());
      },
      lastFindText_);
  find.Run(GetHWND(), FindWnd::TopLeftFor(onScreen, kFindWindowWidth, IsFavorBarShown()));
  lastFindText_ = find.GetFindText();
}

void MainDuiWnd::ShowMainMenu() {
  CControlUI* logo = FindControl(QStringLiteral("logo_btn"));
  QWidget* host = GetWidget();
  if (logo == nullptr || host == nullptr) return;
  auto* menu = new MenuWnd(GetHWND(), *menuOwner_);
  menu->Popup(GetHWND(), host->mapToGlobal(logo->GetPos().bottomLeft()));
}

void MainDuiWnd::OnLanguageChanged() { SetToolTips(); }

}  // namespace tarvo
