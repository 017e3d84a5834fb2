// The start-up splash: shown at once, kept until the main
// window says it is ready, gone soon after.
#include "app/first_wnd.h"

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <thread>

#include <gtest/gtest.h>

#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "platform/paths.h"
#include "ui/resource_manager.h"
#include "ui/ui_messages.h"

namespace tarvo {
namespace {

class FirstWndTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    SettingsRegistry::Instance().Set(SettingsKeys::kLanguageFolder, Utf8ToWide(ExecutableFolder() + "lang/"));
    DuiLib::CResourceManager::Instance().SetResourcePath(QString::fromStdString(ExecutableFolder()));
    DuiLib::CResourceManager::Instance().SetResourceZip(QStringLiteral("skin/normal.dat"));
  }
};

TEST_F(FirstWndTest, StaysOnTopUntilMayCloseThenClosesWithinItsTimer) {
  FirstWnd splash;
  ASSERT_TRUE(splash.Open());
  ASSERT_TRUE(QTest::qWaitForWindowExposed(splash.GetWidget()));
  EXPECT_TRUE(splash.GetWidget()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_EQ(splash.GetWidget()->objectName(), QStringLiteral("KXFirstWnd"));

  // Several timer periods pass without the flag: the splash stays, Escape included.
  QTest::keyClick(splash.GetWidget(), Qt::Key_Escape);
  QTest::qWait(3 * FirstWnd::kCloseTimerMs);
  EXPECT_TRUE(splash.IsOpen());

  // The main window says so from its own thread.
  std::thread([&] { splash.SetMayClose(); }).join();
  EXPECT_TRUE(QTest::qWaitFor([&] { return !splash.IsOpen(); }, 5000));
}

}  // namespace
}  // namespace tarvo
