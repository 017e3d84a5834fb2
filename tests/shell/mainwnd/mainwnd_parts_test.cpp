// The main window's collaborators on their own: the key bindings, the full-screen
// geometry, the bus poller's order and draining, the bus handlers' rules and the
// private messages, with recording bodies instead of engines.
#include <QApplication>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "bus/bus_keys.h"
#include "bus/bus_string.h"
#include "bus/message_bus.h"
#include "shell/commands/main_window_commands.h"
#include "shell/commands/main_window_messages.h"
#include "shell/mainwnd/bus_poller.h"
#include "shell/mainwnd/full_screen_controller.h"
#include "shell/mainwnd/key_bindings.h"
#include "shell/mainwnd/main_dui_wnd.h"
#include "shell/mainwnd/main_window_bus_handlers.h"
#include "shell/mainwnd/main_window_message_handler.h"
#include "shell/mainwnd/typed_address.h"
#include "shell/pages/page.h"
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

TEST(KeyBindingsTest, EveryBindingGivesItsCommandAndOnlyWithItsExactModifiers) {
  struct Case {
    unsigned vk;
    unsigned modifiers;
    unsigned command;
  };
  const std::vector<Case> bound = {
      {'W', MK_CONTROL, Commands::kCloseTab},
      {'A', MK_CONTROL | MK_SHIFT, Commands::kShowClearData},
      {'F', MK_CONTROL, Commands::kFindInPage},
      {VK_F11, 0, Commands::kToggleFullScreen},
      {'H', MK_CONTROL, Commands::kHideFavorBar},
      {'N', MK_CONTROL | MK_SHIFT, Commands::kNewIncognitoWindow},
      {'N', MK_CONTROL, Commands::kNewWindow},
      {VK_DELETE, MK_CONTROL | MK_SHIFT, Commands::kNothing},
      {'H', MK_ALT, Commands::kShowFavorBar},
      {VK_OEM_PLUS, MK_CONTROL | MK_SHIFT, Commands::kZoomIn},
      {VK_OEM_MINUS, MK_CONTROL, Commands::kZoomOut},
      {VK_F5, 0, Commands::kReload},
      {VK_ESCAPE, 0, Commands::kLeaveFullScreen},
  };
  for (const Case& c : bound) {
    EXPECT_EQ(KeyBindings::CommandFor(c.vk, c.modifiers), c.command) << c.vk << "/" << c.modifiers;
    // Mouse-button bits held at the same time don't matter.
    EXPECT_EQ(KeyBindings::CommandFor(c.vk, c.modifiers | MK_LBUTTON), c.command);
  }
  // Near misses: another modifier set, or the plain letter.
  EXPECT_EQ(KeyBindings::CommandFor('W', MK_CONTROL | MK_SHIFT), 0u);
  EXPECT_EQ(KeyBindings::CommandFor('W', 0), 0u);
  EXPECT_EQ(KeyBindings::CommandFor('H', MK_CONTROL | MK_ALT), 0u);
  EXPECT_EQ(KeyBindings::CommandFor('A', MK_CONTROL), 0u);
  EXPECT_EQ(KeyBindings::CommandFor(VK_DELETE, 0), 0u);
  EXPECT_EQ(KeyBindings::CommandFor(VK_F11, MK_CONTROL), 0u);
  EXPECT_EQ(KeyBindings::CommandFor(VK_OEM_PLUS, MK_CONTROL), 0u);
}

TEST(FullScreenGeometryTest, PageAreaCoversTheMonitorAndTheChromeLiesAboveIt) {
  const QRect window(100, 50, 800, 600);
  const QRect page(104, 140, 792, 506);  // 90 pixels of tab strip and toolbar above it
  const QRect target = FullScreenController::TargetRect(window, page, QRect(1600, 0, 1280, 1024), QSize(1600, 1000));
  EXPECT_EQ(target, QRect(1600, -90, 1280, 1024 + 90));
  // The page's top lands on the monitor's top edge.
  EXPECT_EQ(target.top() + (page.top() - window.top()), 0);
}

TEST(FullScreenGeometryTest, WithoutAMonitorTheScreenSizeIsUsedWithThreeExtraPixels) {
  const QRect target =
      FullScreenController::TargetRect(QRect(10, 10, 400, 300), QRect(10, 60, 400, 250), std::nullopt, QSize(1600, 1000));
  EXPECT_EQ(target, QRect(0, -50, 1600, 1053));
}

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

class BusPollerTest : public ::testing::Test {
 protected:
  void Record(WStringView key) {
    poller_.SetHandler(key, [this, key](uintptr_t payload) { seen_.push_back({WString(key), payload}); });
  }
  BusPoller poller_;
  std::vector<std::pair<WString, uintptr_t>> seen_;
};

TEST_F(BusPollerTest, ChannelsAreDrainedInPollOrderAndEachInPostingOrder) {
  Record(BusKeys::kProtectShowFindDialog);
  Record(BusKeys::kLogout);
  Record(BusKeys::kWindowOpenUrl);
  auto& bus = MessageBus::Instance();
  bus.Post(BusKeys::kProtectShowFindDialog, 7);
  bus.Post(BusKeys::kLogout, 5);
  bus.Post(BusKeys::kLogout, 6);
  bus.Post(BusKeys::kWindowOpenUrl, 3);
  EXPECT_EQ(poller_.Drain(), 4);
  const std::vector<std::pair<WString, uintptr_t>> expected = {{BusKeys::kWindowOpenUrl, 3},
                                                               {BusKeys::kLogout, 5},
                                                               {BusKeys::kLogout, 6},
                                                               {BusKeys::kProtectShowFindDialog, 7}};
  EXPECT_EQ(seen_, expected);
  EXPECT_EQ(poller_.Drain(), 0);
}

TEST_F(BusPollerTest, AMessagePostedByAHandlerWaitsOnlyWhenItsChannelCameEarlier) {
  Record(BusKeys::kReflashFavorBar);
  Record(BusKeys::kWindowOpenUrl);
  poller_.SetHandler(BusKeys::kShowRenameWnd, [this](uintptr_t) {
    seen_.push_back({BusKeys::kShowRenameWnd, 1});
    MessageBus::Instance().Post(BusKeys::kReflashFavorBar, BusKeys::kSignal);  // earlier: next drain
    MessageBus::Instance().Post(BusKeys::kLogout, BusKeys::kSignal);           // later: this drain
  });
  Record(BusKeys::kLogout);
  MessageBus::Instance().Post(BusKeys::kShowRenameWnd, 42);
  EXPECT_EQ(poller_.Drain(), 2);
  ASSERT_EQ(seen_.size(), 2u);
  EXPECT_EQ(seen_[1].first, WString(BusKeys::kLogout));
  EXPECT_EQ(poller_.Drain(), 1);
  EXPECT_EQ(seen_.back().first, WString(BusKeys::kReflashFavorBar));
}

TEST_F(BusPollerTest, AChannelWithoutHandlerIsStillEmptied) {
  MessageBus::Instance().Post(BusKeys::kProtectShowDialog, BusKeys::kSignal);
  MessageBus::Instance().Post(BusKeys::kProtectShowDialog, BusKeys::kSignal);
  EXPECT_EQ(poller_.Drain(), 2);
  EXPECT_EQ(MessageBus::Instance().Pop(BusKeys::kProtectShowDialog), 0u);
}

TEST(TypedAddressTest, BlanksAndCapitalSchemesAreCleanedAndTheRestKept) {
  EXPECT_EQ(TypedAddress::Clean(u""), u"");
  EXPECT_EQ(TypedAddress::Clean(u"  \t \u3000"), u"");  // only blanks: the start page
  EXPECT_EQ(TypedAddress::Clean(u"  example.test/a b  "), u"example.test/a b");
  EXPECT_EQ(TypedAddress::Clean(u"HTTP://Example.TEST/Path"), u"http://Example.TEST/Path");
  EXPECT_EQ(TypedAddress::Clean(u"Https://x.test/"), u"https://x.test/");
  EXPECT_EQ(TypedAddress::Clean(u"FILE:///tmp/A.html"), u"file:///tmp/A.html");
  // Other schemes and host:port texts are the page's to judge.
  EXPECT_EQ(TypedAddress::Clean(u"About:Blank"), u"About:Blank");
  EXPECT_EQ(TypedAddress::Clean(u"LOCALHOST:8080/X"), u"LOCALHOST:8080/X");
}

TEST(MainWindowBusHandlersTest, NewProcessArgumentsKeepEveryAddressWhole) {
  const std::vector<std::string> arguments =
      MainWindowBusHandlers::LaunchArguments({u"http://a.test/?q=a b\"c", u"", u"http://中文.test/"});
  const std::vector<std::string> expected = {"http://a.test/?q=a b\"c", "http://中文.test/"};
  EXPECT_EQ(arguments, expected);
  EXPECT_TRUE(MainWindowBusHandlers::LaunchArguments({}).empty());
}

TEST(MainWindowBusHandlersTest, LogOutLeavesOnlyUserCentrePages) {
  EXPECT_TRUE(MainWindowBusHandlers::IsUserCentrePage(u"http://uc.test/usercenter/me", u"http://uc.test/"));
  EXPECT_FALSE(MainWindowBusHandlers::IsUserCentrePage(u"http://other.test/", u"http://uc.test/"));
  // A missing user-centre setting must not send every page home.
  EXPECT_FALSE(MainWindowBusHandlers::IsUserCentrePage(u"http://uc.test/", u""));
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

  std::unique_ptr<PagesHost> host_ = std::make_unique<PagesHost>();
  MainDuiWnd window_;  // never shown: only the handler's back reference
  MainWindowMessageHandler handler_{window_, &host_->factory};
};

TEST_F(PrivateMessagesTest, TypedAddressGoesToTheNamedOrCurrentPageAndNeverToAClosedOne) {
  Page* first = host_->OpenPage(u"http://one.test/");
  Page* second = host_->OpenPage(u"http://two.test/");
  ASSERT_NE(second, nullptr);
  Send(MainWindowMessages::kNavigateTyped, 0, reinterpret_cast<LPARAM>(new WString(u"three.test")));
  EXPECT_EQ(static_cast<RecordingBody*>(second->Body())->loads.back(), u"http://three.test");
  Send(MainWindowMessages::kNavigateTyped, reinterpret_cast<WPARAM>(first),
       reinterpret_cast<LPARAM>(new WString(u"HTTP://FOUR.test/")));
  EXPECT_EQ(static_cast<RecordingBody*>(first->Body())->loads.back(), u"http://FOUR.test/");
  Pages::Instance().ClosePage(first);
  // The text is still freed (checked by the sanitizer build) and nothing else happens.
  Send(MainWindowMessages::kNavigateTyped, reinterpret_cast<WPARAM>(first),
       reinterpret_cast<LPARAM>(new WString(u"five.test")));
  EXPECT_EQ(Pages::Instance().Count(), 1);
}

TEST_F(PrivateMessagesTest, CompatibilityTabAndDroppedTabs) {
  Send(MainWindowMessages::kOpenCompatibilityTab, reinterpret_cast<WPARAM>(new WString(u"http://bank.test/")));
  ASSERT_EQ(host_->factory.ieUrls.size(), 1u);
  EXPECT_EQ(host_->factory.ieUrls[0], u"http://bank.test/");
  Send(MainWindowMessages::kOpenCompatibilityTab, 0);  // no address: nothing opened
  EXPECT_EQ(host_->factory.ieUrls.size(), 1u);

  host_->OpenPage(u"http://b.test/");
  Page* first = Pages::Instance().PageAt(0);
  Send(MainWindowMessages::kMoveTab, 0, 1);
  EXPECT_EQ(Pages::Instance().PageAt(1), first);
  Page* current = Pages::Instance().Current();
  Send(MainWindowMessages::kMoveTab, 1, 1);
  EXPECT_EQ(Pages::Instance().Current(), current);
}

TEST_F(PrivateMessagesTest, KeysReachOnlyTranslatorsOfBodiesStillListed) {
  auto body = std::make_unique<TranslatingBody>();
  body->MakeWindow();
  body->SetReady(true);
  TranslatingBody* raw = body.get();
  Page* page = Pages::Instance().CreateIePage(std::move(body));
  Send(MainWindowMessages::kAddAccelerator, reinterpret_cast<WPARAM>(static_cast<ITranslateAccelerator*>(raw)));
  EXPECT_EQ(handler_.TranslatorCount(), 1u);
  MSG key{0, WM_KEYDOWN, VK_F5, 0};
  EXPECT_EQ(handler_.TranslateAccelerator(&key), S_FALSE);
  EXPECT_EQ(raw->asked, 1);
  // The page closes; its body's removal message is still on its way. A key in
  // between must not reach the destroyed body.
  host_->OpenPage(u"http://other.test/");
  Pages::Instance().ClosePage(page);
  EXPECT_EQ(handler_.TranslateAccelerator(&key), S_FALSE);
  Send(MainWindowMessages::kRemoveAccelerator, reinterpret_cast<WPARAM>(static_cast<ITranslateAccelerator*>(raw)));
  EXPECT_EQ(handler_.TranslatorCount(), 0u);
}

TEST_F(PrivateMessagesTest, OtherMessagesAreLeftToTheWindow) {
  bool handled = true;
  handler_.Handle(WM_USER + 5, 0, 0, handled);
  EXPECT_FALSE(handled);
  handler_.Handle(WM_TIMER, 0, 0, handled);
  EXPECT_FALSE(handled);
}

}  // namespace
}  // namespace tarvo::test
