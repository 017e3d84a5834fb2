// The main menu's update entry as the user meets it, from check to installer.
#include "account/account_state.h"
#include "store/user_database.h"
#include "update/windows/update_commands.h"

#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <filesystem>

#include "settings/language_manager.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "shell/commands/main_window_commands.h"
#include "shell/mainwnd/browser_windows.h"
#include "shell/mainwnd/i_browser_window.h"
#include "shown_windows.h"
#include "ui_test_support.h"
#include "update_service_fixture.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

// The window a menu command runs for; these commands ask nothing of it.
class BareWindow : public IBrowserWindow {
 public:
  DuiLib::HWND Handle() const override { return 0; }
  QRect ControlScreenRect(const QString&) const override { return {}; }
  DuiLib::CControlUI* Control(const QString&) const override { return nullptr; }
  bool IsFavoriteBarShown() const override { return false; }
  Page* CurrentPage() const override { return nullptr; }
  [[noreturn]] Pages& PageList() override { std::abort(); }
  void RunCommand(unsigned, const CommandArgs&) override {}
  bool IsCommandAvailable(unsigned) const override { return true; }
  void OnLanguageChanged() override {}
};

// Answers the next message box with OK and keeps its text. The box comes up inside
// a queued result's modal loop, so a timer watches for it.
class MessageBoxAnswer {
 public:
  explicit MessageBoxAnswer(QString screenshot = QString()) {
    QObject::connect(&timer_, &QTimer::timeout, [this, screenshot] {
      DuiLib::WindowImplBase* box = test::ShownWindowOf("KXMessageBox");
      if (box == nullptr || !QTest::qWaitForWindowExposed(box->GetWidget())) return;
      timer_.stop();
      text_ = box->FindControl("message")->GetText();
      if (!screenshot.isEmpty()) test::SaveScreenshot(*box, screenshot);
      test::ClickControl(*box, "ensure_btn");
    });
    timer_.start(50);
  }
  const QString& text() const { return text_; }

 private:
  QTimer timer_;
  QString text_;
};

class UpdateCommandsTest : public test::UpdateServiceFixture {
 protected:
  void SetUp() override {
    UpdateServiceFixture::SetUp();
    SettingsRegistry::Instance().Set(SettingsKeys::kLanguageFolder,
                                     Utf8ToWide(std::string(std::getenv("TARVO_SOURCE_DIR")) + "/lang/"));
    SettingsRegistry::Instance().Set(SettingsKeys::kRegistryKey, u"TarvoBrowser");
    ASSERT_EQ(LanguageManager::Instance().SetLanguage(u"usa"), 0);
  }

  WString Label() const { return windows_.Features().LabelOf(Commands::kCheckForUpdate); }

  test::ScopedSkin skin_{test::BuiltPackageFolder(), "skin/normal.dat"};
  AccountState account_;
  UserDatabase database_;
  BrowserWindows windows_{account_, database_};
  std::vector<std::function<void()>> endSteps_;
  BareWindow window_;
};

TEST_F(UpdateCommandsTest, TheEntryNamesTheVersionsChecksOnAWorkerAndRunsAnAcceptedUpdate) {
  UpdateCommands::Register(windows_, std::make_shared<UpdateCheck>(Settings()), Settings(), endSteps_);
  EXPECT_EQ(Label(), u"Check for updates (5.5.8.1)");
  const FeatureCommands::Entry* entry = windows_.Features().Find(Commands::kCheckForUpdate);
  ASSERT_NE(entry, nullptr);

  MessageBoxAnswer answer("update_offer");
  entry->handler(window_, {});
  EXPECT_FALSE(entry->available(window_)) << "greyed while it checks";
  EXPECT_FALSE(windows_.Features().Find(Commands::kMakeDefaultBrowser)->available(window_));

  const std::string mark = Installer().string() + ".ran";
  EXPECT_TRUE(QTest::qWaitFor([&] { return fs::exists(mark); }, 10000)) << answer.text().toStdString();
  EXPECT_EQ(answer.text(), "TarvoBrowser 5.5.9.0 has been downloaded. Install it now? TarvoBrowser closes while it installs.");
  EXPECT_TRUE(entry->available(window_));
  EXPECT_EQ(Label(), u"Update 5.5.8.1 → 5.5.9.0");
  for (const auto& step : endSteps_) step();
}

TEST_F(UpdateCommandsTest, AnUnreachableServiceIsToldAndTheWindowsMayGoWhileAWorkerRuns) {
  SettingsRegistry::Instance().Set(SettingsKeys::kApiUrl, u"http://127.0.0.1:9/");
  auto check = std::make_shared<UpdateCheck>(Settings());
  UpdateCommands::Register(windows_, check, Settings(), endSteps_, [] { return QStringLiteral("Chromium 1.2.3"); });
  MessageBoxAnswer answer;
  windows_.Features().Find(Commands::kCheckForUpdate)->handler(window_, {});
  EXPECT_TRUE(QTest::qWaitFor([&] { return !answer.text().isEmpty(); }, 10000));
  EXPECT_EQ(answer.text(), "The update service could not be reached. Please try again later.\n\nChromium 1.2.3")
      << "every answer names the engines";
  EXPECT_TRUE(DataFiles().empty());

  // The browser ends while a check runs: the end step waits for it, its result is dropped.
  windows_.Features().Find(Commands::kCheckForUpdate)->handler(window_, {});
  for (const auto& step : endSteps_) step();
  QTest::qWait(200);
  EXPECT_EQ(test::ShownWindowOf("KXMessageBox"), nullptr);
}

}  // namespace
}  // namespace tarvo
