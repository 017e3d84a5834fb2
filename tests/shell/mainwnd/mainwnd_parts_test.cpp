// The main window's collaborators on their own: full screen, the command
// router, the windows' group routing the bus, the tab commands' rules and the
// private messages, with recording bodies instead of engines.
#include <QApplication>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "account/account_state.h"
#include "bus/bus_channels.h"
#include "shell/commands/main_window_commands.h"
#include "shell/commands/main_window_messages.h"
#include "shell/mainwnd/browser_windows.h"
#include "shell/mainwnd/bus_requests.h"
#include "shell/mainwnd/command_router.h"
#include "shell/mainwnd/full_screen_controller.h"
#include "shell/mainwnd/main_dui_wnd.h"
#include "shell/mainwnd/tab_commands.h"
#include "shell/mainwnd/main_window_message_handler.h"
#include "shell/pages/page.h"
#include "shell/pages/page_channels.h"
#include "shell/pages/pages.h"
#include "shell/pages/pages_host.h"
#include "shell/pages/shell_test_data.h"
#include "ui/ui_messages.h"
#include "ui/ui_window_styles.h"
#include "ui/ui_test_support.h"

namespace tarvo::test {
namespace {

using namespace DuiLib;

// A data root, a database and the plain test skin for every test of this program.
class PartsEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { ASSERT_TRUE(data_.SetUp()); }

 private:
  ShellTestData data_;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new PartsEnvironment);

TEST(FullScreenControllerTest, EnterAndLeaveRestoreTheWindowIncludingMaximised) {
  TestWindow window(QStringLiteral("pages_host.xml"));
  window.defaultKeys = false;
  window.Create(0, QStringLiteral("fs"), UI_WNDSTYLE_FRAME, 0, 100, 80, 700, 400);
  ASSERT_TRUE(ShowAndWait(window));
  const QRect page(window.GetWindowRect().left(), window.GetWindowRect().top() + 70, 700, 330);
  FullScreenController controller(window, [&] { return page; });
  const QRect before = window.GetWindowRect();
  controller.Enter();
  QTest::qWait(100);
  ASSERT_TRUE(controller.IsActive());
  const QRect screen = QGuiApplication::screenAt(before.center())->geometry();
  EXPECT_EQ(window.GetWindowRect(), QRect(screen.left(), screen.top() - 70, screen.width(), screen.height() + 70));
  EXPECT_TRUE(window.GetWidget()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  controller.Enter();  // a second enter keeps the first saved rectangle
  controller.Leave();
  QTest::qWait(100);
  EXPECT_FALSE(controller.IsActive());
  EXPECT_EQ(window.GetWindowRect(), before);
  EXPECT_FALSE(window.GetWidget()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));

  window.SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE);
  ASSERT_TRUE(QTest::qWaitFor([&] { return window.GetWidget()->isMaximized(); }, 2000));
  controller.Toggle();
  QTest::qWait(100);
  EXPECT_FALSE(window.GetWidget()->isMaximized());
  controller.Toggle();
  EXPECT_TRUE(QTest::qWaitFor([&] { return window.GetWidget()->isMaximized(); }, 2000));
  window.Close();
  QApplication::processEvents();
}

TEST(CommandRouterTest, AFeatureRunsItsCommandsOverTheWindowsOwnAndUnknownCommandsAreUnavailable) {
  AccountState account;
  BrowserWindows windows(account, ShellTestData::Database());
  MainDuiWnd window(windows, nullptr);  // never shown
  CommandRouter router(window, &windows.Features());
  std::vector<std::string> ran;
  bool pageCanSave = false;
  router.Register(Commands::kReload, [&](const CommandArgs&) { ran.push_back("own reload"); });
  router.Register(Commands::kSaveAsPdf, [&](const CommandArgs&) { ran.push_back("own save"); }, [&] { return pageCanSave; });
  windows.Features().Register(Commands::kReload, [&](IBrowserWindow& on, const CommandArgs& args) {
    EXPECT_EQ(&on, &window);
    ran.push_back("feature reload " + WideToUtf8(args.text));
  });
  const CommandArgs args{.text = u"x"};
  EXPECT_TRUE(router.Run(Commands::kReload, args));
  EXPECT_TRUE(router.Run(Commands::kSaveAsPdf));
  EXPECT_FALSE(router.Run(Commands::kShowHistory));
  EXPECT_EQ(ran, (std::vector<std::string>{"feature reload x", "own save"}));
  EXPECT_TRUE(router.IsAvailable(Commands::kReload));
  EXPECT_FALSE(router.IsAvailable(Commands::kSaveAsPdf));
  pageCanSave = true;
  EXPECT_TRUE(router.IsAvailable(Commands::kSaveAsPdf));
  EXPECT_FALSE(router.IsAvailable(Commands::kShowHistory));
}

TEST(BrowserWindowsTest, PageReportsReachTheWindowHoldingThePageAndRequestsTheWindowUsedLast) {
  AccountState account;
  BrowserWindows windows(account, ShellTestData::Database());
  MainDuiWnd first(windows, nullptr);  // never shown: their page lists are enough
  MainDuiWnd second(windows, nullptr);
  Page* a = first.PageList().CreateIePage(std::make_unique<RecordingBody>());
  Page* b = second.PageList().CreateIePage(std::make_unique<RecordingBody>());
  std::vector<IBrowserWindow*> askedOf;
  windows.Features().Register(Commands::kAddFavorite,
                              [&](IBrowserWindow& window, const CommandArgs&) { askedOf.push_back(&window); });
  // A feature's channel, routed as a feature does it when it registers.
  constexpr BusChannels::UrlChannel kAsk{u"test/ask"};
  BusRequests::ToLastUsed(windows, kAsk, Commands::kAddFavorite);
  windows.MarkUsed(&second);
  PageChannels::kSetTitle.Post(std::make_unique<PageTextRecord>(PageTextRecord{a, u"first's"}));
  PageChannels::kSetTitle.Post(std::make_unique<PageTextRecord>(PageTextRecord{b, u"second's"}));
  BusChannels::PostUrl(kAsk, u"http://fav.test/");
  windows.MarkUsed(&first);
  BusChannels::PostUrl(kAsk, u"http://fav.test/");
  EXPECT_EQ(windows.Drain(), 4);
  EXPECT_EQ(a->GetTitle(), u"first's");
  EXPECT_EQ(b->GetTitle(), u"second's");
  EXPECT_EQ(askedOf, (std::vector<IBrowserWindow*>{&first, &first}));
  // Every channel of the shell's is drained, so nothing posted to it can pile up.
  using namespace BusChannels;
  std::vector<WStringView> shellKeys(PageChannels::kAllKeys.begin(), PageChannels::kAllKeys.end());
  for (WStringView key : {kWindowOpenUrl.Key(), kTabOpenUrl.Key(), kTabOpenHome.Key(), kTabOpenAllUrl.Key(),
                          kTabOpenResetPassword.Key(), kWindowOpenAllUrl.Key(), kPrivateWindowOpenUrl.Key(),
                          kPrivateWindowOpenAllUrl.Key(), kClipboardCopyUrl.Key(), kShowFindDialog.Key()}) {
    shellKeys.push_back(key);
  }
  for (WStringView key : shellKeys) EXPECT_TRUE(windows.Poller().Handles(key)) << WideToUtf8(WString(key));
  first.PageList().CloseAll();
  second.PageList().CloseAll();
}

TEST(TabCommandsTest, LogOutLeavesOnlyUserCentrePages) {
  EXPECT_TRUE(TabCommands::IsUserCentrePage(u"http://uc.test/usercenter/me", u"http://uc.test/"));
  EXPECT_FALSE(TabCommands::IsUserCentrePage(u"http://other.test/", u"http://uc.test/"));
  // A missing user-centre setting must not send every page home.
  EXPECT_FALSE(TabCommands::IsUserCentrePage(u"http://uc.test/", u""));
}

// A compatibility-style body whose translator counts the keys it is asked about.
class TranslatingBody : public RecordingBody, public ITranslateAccelerator {
 public:
  LRESULT TranslateAccelerator(MSG*) override {
    ++asked;
    return S_FALSE;
  }
  int asked = 0;
};

class PrivateMessagesTest : public ::testing::Test {
 protected:
  void TearDown() override { host_.reset(); }

  LRESULT Send(UINT msg, WPARAM wParam, LPARAM lParam = 0) {
    bool handled = false;
    const LRESULT result = handler_.Handle(msg, wParam, lParam, handled);
    EXPECT_TRUE(handled) << msg;
    return result;
  }

  std::unique_ptr<PagesHost> host_ = std::make_unique<PagesHost>(ShellTestData::Database());
  MainWindowMessageHandler handler_{host_->pages};
};

TEST_F(PrivateMessagesTest, DroppedTabsMoveKeysReachOnlyListedBodiesAndOtherMessagesAreLeftToTheWindow) {
  host_->OpenPage(u"http://a.test/");
  host_->OpenPage(u"http://b.test/");
  Page* first = host_->pages.PageAt(0);
  Send(MainWindowMessages::kMoveTab, 0, 1);
  EXPECT_EQ(host_->pages.PageAt(1), first);
  Page* current = host_->pages.Current();
  Send(MainWindowMessages::kMoveTab, 1, 1);
  EXPECT_EQ(host_->pages.Current(), current);

  for (UINT other : {UINT(WM_USER + 5), UINT(WM_TIMER)}) {
    bool handled = true;
    handler_.Handle(other, 0, 0, handled);
    EXPECT_FALSE(handled) << other;
  }

  // Keys reach only the translators of bodies still listed.
  auto body = std::make_unique<TranslatingBody>();
  body->MakeWindow();
  body->SetReady(true);
  TranslatingBody* raw = body.get();
  Page* page = host_->pages.CreateIePage(std::move(body));
  Send(MainWindowMessages::kAddAccelerator, reinterpret_cast<WPARAM>(static_cast<ITranslateAccelerator*>(raw)));
  EXPECT_EQ(handler_.TranslatorCount(), 1u);
  MSG key{0, WM_KEYDOWN, VK_F5, 0};
  EXPECT_EQ(handler_.TranslateAccelerator(&key), S_FALSE);
  EXPECT_EQ(raw->asked, 1);
  // The page closes; its body's removal message is still on its way. A key in
  // between must not reach the destroyed body.
  host_->OpenPage(u"http://other.test/");
  host_->pages.ClosePage(page);
  EXPECT_EQ(handler_.TranslateAccelerator(&key), S_FALSE);
  Send(MainWindowMessages::kRemoveAccelerator, reinterpret_cast<WPARAM>(static_cast<ITranslateAccelerator*>(raw)));
  EXPECT_EQ(handler_.TranslatorCount(), 0u);
}

}  // namespace
}  // namespace tarvo::test
