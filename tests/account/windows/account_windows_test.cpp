// The login window and the protection panel from the built skin and language packs,
// driven by clicks and keys against tarvo-service with the demo seed.
#include <QDateTime>
#include <QLineEdit>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>

#include "account/account_operations.h"
#include "account/account_state.h"
#include "account/account_task_queue.h"
#include "account/vpn_operations.h"
#include "account/windows/login_wnd.h"
#include "bus/bus_channels.h"
#include "bus/message_bus.h"
#include "support/loopback_http_server.h"
#include "protect/domain_list.h"
#include "protect/windows/protect_wnd.h"
#include "settings/language_manager.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "shell/windows/shown_windows.h"
#include "protect/c_browser_url.h"
#include "store/user_database.h"
#include "support/scoped_env.h"
#include "support/service_process.h"
#include "support/temp_dir.h"
#include "ui/edit_ui.h"
#include "ui_test_support.h"
#include "account/recording_proxy_engine.h"

namespace tarvo::test {
namespace {

namespace fs = std::filesystem;
using namespace DuiLib;

// One database, language and service for the whole program.
class AccountWindowsEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    env_ = std::make_unique<ScopedEnv>("XDG_CONFIG_HOME", folder_.path().string());
    const std::string source = std::getenv("TARVO_SOURCE_DIR");
    SettingsRegistry& settings = SettingsRegistry::Instance();
    settings.Set(SettingsKeys::kLanguageFolder, Utf8ToWide(source + "/lang/"));
    settings.Set(SettingsKeys::kRegistryKey, u"TarvoBrowserTest");
    settings.Set(SettingsKeys::kBrand, u"TarvoBrowser");
    ASSERT_EQ(LanguageManager::Instance().SetLanguage(u"usa"), 0);
    ASSERT_EQ(database.OpenFile((folder_.path() / "kx.dat").string()), 0);
    ASSERT_EQ(database.Upgrade(), 0);
    CBrowserUrl::UseDatabase(database);
    ASSERT_EQ(MessageBus::Instance().Initialise(), 0);
    service_ = std::make_unique<ServiceProcess>((fs::current_path() / "tarvo-service").string(),
                                                source + "/service/seed/demo.json",
                                                (folder_.path() / "service.db").string(),
                                                std::vector<std::string>{"--proxy-ports", "auto"});
    ASSERT_FALSE(service_->baseUrl().empty());
    service_->credentials().TrustInThisProcess();
    baseUrl = service_->baseUrl();
  }
  void TearDown() override { service_.reset(); }

  static inline std::string baseUrl;
  static inline UserDatabase& database = *new UserDatabase();  // never destroyed, as the browser's

 private:
  TempDir folder_;
  std::unique_ptr<ScopedEnv> env_;
  std::unique_ptr<ServiceProcess> service_;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new AccountWindowsEnvironment);

class AccountWindowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UseService(AccountWindowsEnvironment::baseUrl);
    state_.SetProxyEngine(&engine_);
  }
  void TearDown() override {
    // The windows' tasks use the state, which goes with the test.
    tasks_.WaitIdle(std::chrono::seconds(40));
    VpnOperations(state_, database_).SwitchOff();
  }
  static void UseService(const std::string& base) {
    SettingsRegistry::Instance().Set(SettingsKeys::kApiUrl, Utf8ToWide(base));
  }
  static void Type(WindowImplBase& window, const char* field, const QString& text) {
    auto* edit = window.FindControl<CEditUI>(field);
    ASSERT_NE(edit, nullptr) << field;
    edit->GetLineEdit()->clear();
    QTest::keyClicks(edit->GetLineEdit(), text);
  }
  // Clicks a control once it is laid out (a page just switched to is laid out when
  // it is next painted).
  static void ClickLaidOut(WindowImplBase& window, const char* name) {
    CControlUI* control = window.FindControl(name);
    ASSERT_NE(control, nullptr) << name;
    ASSERT_TRUE(QTest::qWaitFor([control] { return !control->GetPos().isEmpty(); })) << name;
    ClickControl(window, name);
  }
  static bool Visible(WindowImplBase& window, const char* name) {
    CControlUI* control = window.FindControl(name);
    return control != nullptr && control->IsVisible();
  }
  static QString Text(WindowImplBase& window, const char* name) {
    CControlUI* control = window.FindControl(name);
    return control != nullptr ? control->GetText() : QString();
  }
  static QString Pack(const char16_t* key) { return QString::fromStdU16String(LanguageManager::Instance().GetText(key)); }

  ScopedSkin skin_{BuiltPackageFolder(), "skin/normal.dat"};
  RecordingProxyEngine engine_;
  AccountState state_;
  UserDatabase& database_ = AccountWindowsEnvironment::database;
  static inline AccountTaskQueue& tasks_ = *new AccountTaskQueue();  // never destroyed, as its thread
};

TEST_F(AccountWindowsTest, LoginChecksItsFieldsKeepsWorkingWhileTheServiceWaitsAndLogsInOnceAccepted) {
  LoginWnd login(state_, tasks_, database_);
  LoopbackHttpServer scripted([](const ReceivedRequest&) { return LoopbackHttpServer::Ok("{\"code\":401}"); });
  LoopbackHttpServer silent([](const ReceivedRequest&) {
    ScriptedReply never;
    never.delayMs = 120000;
    return never;
  });
  WhenShown("KXLoginWnd", [&](WindowImplBase& window) {
    UseService(scripted.Url("/"));
    ClickControl(window, "login/loginbtn");
    EXPECT_TRUE(Visible(window, "p1_acct_bad"));
    EXPECT_TRUE(Visible(window, "p1_pwd_bad"));
    Type(window, "login/p1_acct", "demo@tarvo.test");
    QTest::keyClick(window.FindControl<CEditUI>("login/p1_acct")->GetLineEdit(), Qt::Key_Return);
    EXPECT_FALSE(Visible(window, "p1_acct_bad"));
    EXPECT_TRUE(Visible(window, "p1_pwd_bad"));
    EXPECT_EQ(scripted.Requests().size(), 0u);

    Type(window, "login/p1_pwd", "demo1234");
    QLineEdit* password = window.FindControl<CEditUI>("login/p1_pwd")->GetLineEdit();
    EXPECT_EQ(password->echoMode(), QLineEdit::Password);
    // A refused login leaves the window asking again, nobody logged in.
    QTest::keyClick(password, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return scripted.Requests().size() == 1u && window.FindControl("login/loginbtn")->IsEnabled(); }));
    EXPECT_TRUE(Visible(window, "p1_pwd_bad"));
    EXPECT_FALSE(state_.IsLoggedIn());

    // A service that never answers: the window follows clicks while the request
    // waits, until it gives up.
    UseService(silent.Url("/"));
    ClickControl(window, "login/loginbtn");
    EXPECT_EQ(Text(window, "login/status_lbl"), Pack(u"login/working"));
    EXPECT_FALSE(window.FindControl("login/loginbtn")->IsEnabled());
    ClickControl(window, "login/p1_registperson");
    EXPECT_EQ(login.CurrentPage(), LoginWnd::kPersonalPage);
    ClickLaidOut(window, "personreg/login");
    EXPECT_EQ(login.CurrentPage(), LoginWnd::kLoginPage);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.FindControl("login/loginbtn")->IsEnabled(); }, 45000));
    EXPECT_EQ(Text(window, "login/status_lbl"), Pack(u"login/failed"));
    EXPECT_TRUE(Visible(window, "p1_pwd_bad"));
    EXPECT_FALSE(state_.IsLoggedIn());
    UseService(AccountWindowsEnvironment::baseUrl);
    QTest::keyClick(password, Qt::Key_Return);
  });
  EXPECT_EQ(login.Run(0), LoginWnd::kLoggedIn);
  EXPECT_EQ(state_.CurrentUser().name, u"demo@tarvo.test");
  EXPECT_EQ(state_.UserProfile().name, u"Demo User");
}

TEST_F(AccountWindowsTest, RegistrationNeedsTheAgreementAndShowsItsResult) {
  LoginWnd login(state_, tasks_, database_);
  LoopbackHttpServer scripted([](const ReceivedRequest&) { return LoopbackHttpServer::Ok("{\"code\":200}"); });
  const QString account = QStringLiteral("new%1@tarvo.test").arg(QDateTime::currentSecsSinceEpoch());
  WhenShown("KXLoginWnd", [&](WindowImplBase& window) {
    ClickControl(window, "login/p1_registperson");
    EXPECT_EQ(login.CurrentPage(), LoginWnd::kPersonalPage);
    Type(window, "login/p3_acct", account);
    Type(window, "login/p3_pwd", "secret-1");
    SaveScreenshot(window, "account_register_personal");  // also lays out the page just switched to

    // Without the agreement: a message, and nothing sent.
    UseService(scripted.Url("/"));
    QString shown;
    WhenShown("KXMessageBox", [&](WindowImplBase& box) {
      shown = Text(box, "message");
      ClickControl(box, "ensure_btn");
    });
    ClickControl(window, "personreg/regbtn");
    EXPECT_EQ(shown, Pack(u"login/tip_pleasecheck"));
    EXPECT_EQ(scripted.Requests().size(), 0u);

    UseService(AccountWindowsEnvironment::baseUrl);
    ClickLaidOut(window, "personreg/agree");
    QString named;
    WhenShown("KXLoginSuccessWnd", [&](WindowImplBase& success) {
      named = Text(success, "regsuccess/acct");
      ClickControl(success, "regsuccess/loginbtn");
    });
    ClickControl(window, "personreg/regbtn");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !named.isEmpty() && login.CurrentPage() == LoginWnd::kLoginPage; }));
    EXPECT_TRUE(named.endsWith(account));

    // The same name again, as a company: the failure names the company kind.
    ClickLaidOut(window, "tocompany_btn");
    ASSERT_EQ(login.CurrentPage(), LoginWnd::kCompanyPage);
    Type(window, "login/p2_acct", account);
    Type(window, "login/p2_pwd", "secret-2");
    ClickLaidOut(window, "companyreg/agree");
    QString retry;
    WhenShown("KXLoginFailedWnd", [&](WindowImplBase& failed) {
      retry = Text(failed, "regfailed/reg_btn");
      ClickControl(failed, "regfailed/reg_btn");
    });
    QTest::keyClick(window.FindControl<CEditUI>("login/p2_pwd")->GetLineEdit(), Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !retry.isEmpty(); }));
    EXPECT_EQ(retry, Pack(u"regfailed/reg_company_btn"));
    EXPECT_EQ(login.CurrentPage(), LoginWnd::kCompanyPage);

    // Who cannot log in is sent to the password-reset page, in a tab of the window.
    ClickLaidOut(window, "companyreg/login");
    BusChannels::kTabOpenResetPassword.Take();
    ClickLaidOut(window, "login/canlogin");
  });
  EXPECT_NE(login.Run(0), LoginWnd::kLoggedIn);
  EXPECT_TRUE(BusChannels::kTabOpenResetPassword.Take());
}

TEST_F(AccountWindowsTest, OthersSeeOnlyTheSiteSwitchInAShorterPanel) {
  ASSERT_EQ(AccountOperations(state_, database_).Login(u"basic@tarvo.test", u"basic1234"), 0);
  const bool enabled = DomainList::Instance().IsDomainListEnabled();
  ProtectWnd panel(state_, tasks_, database_);
  WhenShown("KXProtectWnd", [&](WindowImplBase& window) {
    EXPECT_FALSE(Visible(window, "protect_region"));
    EXPECT_FALSE(Visible(window, "ensure_btn"));
    ClickControl(window, "protect_btn");
    EXPECT_EQ(DomainList::Instance().IsDomainListEnabled(), !enabled);
    SaveScreenshot(window, "protect_panel_basic");
    ClickControl(window, "protect_btn");
    ClickControl(window, "cancel_btn");
  });
  panel.Run(0);
  EXPECT_EQ(DomainList::Instance().IsDomainListEnabled(), enabled);
}

}  // namespace
}  // namespace tarvo::test
