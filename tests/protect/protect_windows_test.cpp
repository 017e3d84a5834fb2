// The certification and QR windows from the built skin package under Xvfb.
#include <QImage>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <filesystem>

#include "account/account_state.h"
#include "support/loopback_http_server.h"
#include "protect/domain_list.h"
#include "protect/protected_sites.h"
#include "protect/qr_reader.h"
#include "protect/windows/memory_picture_ui.h"
#include "protect/windows/protect_sign_wnd.h"
#include "protect/windows/qr_code_wnd.h"
#include "settings/language_manager.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "shell/windows/shown_windows.h"
#include "store/test_database.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"
#include "ui/tab_layout_ui.h"
#include "ui/ui_test_support.h"

namespace tarvo::test {
namespace {

namespace fs = std::filesystem;
using namespace DuiLib;

// Runs `act` on the window of `className` once it is shown, then closes it.
void WhenShown(const char* className, std::function<void(WindowImplBase&)> act) {
  test::WhenShown(className, [className, act](WindowImplBase& window) {
    act(window);
    if (ShownWindowOf(className) != nullptr) ClickControl(window, "cancel_btn");
  });
}

QString Text(WindowImplBase& window, const char* control) { return window.FindControl(control)->GetText(); }

// The QR codes zbar reads in a control's area of the window as it is on screen.
std::vector<std::string> CodesOnScreen(WindowImplBase& window, const QString& control, const QString& shot) {
  const QImage screen = SaveScreenshot(window, shot).convertToFormat(QImage::Format_Grayscale8);
  const QRect area = window.FindControl(control)->GetPos().adjusted(-12, -12, 12, 12);
  const QImage part = screen.copy(area);
  GreyPicture picture{part.width(), part.height(), {}};
  for (int y = 0; y < part.height(); ++y) {
    const uchar* line = part.constScanLine(y);
    picture.pixels.insert(picture.pixels.end(), line, line + part.width());
  }
  return DecodeQrCodes(picture);
}

class ProtectWindowsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    root_ = new TempDir();
    config_ = new ScopedEnv("XDG_CONFIG_HOME", (root_->path() / "config").string());
    auto& settings = SettingsRegistry::Instance();
    settings.Set(SettingsKeys::kLanguageFolder, Utf8ToWide(std::string(std::getenv("TARVO_SOURCE_DIR")) + "/lang/"));
    settings.Set(SettingsKeys::kRegistryKey, u"TarvoBrowserTest");
    settings.Set(SettingsKeys::kUserCentre, u"tarvo://");
    fs::create_directories(root_->path() / "cache");
    settings.Set(SettingsKeys::kCacheFolder, Cache());
    ASSERT_EQ(LanguageManager::Instance().SetLanguage(u"usa"), 0);
  }
  static void TearDownTestSuite() {
    delete config_;
    delete root_;
  }
  // No VPN; the state outlives the detached icon fetches.
  static VpnRoute Direct() {
    static const AccountState* offline = new AccountState();
    return VpnRoute(*offline);
  }
  static WString Cache() { return Utf8ToWide((root_->path() / "cache").string() + "/"); }
  // Serves the authority icon under /ca*, late under /late.png, 404 elsewhere.
  static ScriptedReply IconServer(const ReceivedRequest& request) {
    static const std::string icon =
        ReadWholeFile(std::string(std::getenv("TARVO_SOURCE_DIR")) + "/service/seed/icons/authority.png");
    const bool late = request.target == "/late.png";
    if (!late && request.target.rfind("/ca", 0) != 0) return {"HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n"};
    ScriptedReply reply = LoopbackHttpServer::Ok(icon);
    reply.delayMs = late ? 400 : 0;
    return reply;
  }

  ScopedSkin skin_{BuiltPackageFolder(), "skin/normal.dat"};
  static inline TempDir* root_ = nullptr;  // kept for the whole suite
  static inline ScopedEnv* config_ = nullptr;
};

TEST_F(ProtectWindowsTest, ASiteRowOpensOnItsFirstTab) {
  TestDatabase store;
  const DomainList list(store.db());
  // No row for the pair: no window, and nothing waits for one.
  EXPECT_FALSE(ProtectSignWnd::ShowFor(0, list, u"http://bank.tarvo.test/", u"http://127.0.0.11:8360/", Direct()));

  ASSERT_EQ(ProtectedSites(store.db()).Add({"1", "http://bank.tarvo.test/", "http://127.0.0.11:8360/"}), 0);
  ASSERT_EQ(store.db().Execute("update domainlist set is_auth='0', is_sign='2', is_guar='1', guar_data='保障一百万', "
                               "guar_data_en='Guaranteed up to 1,000,000', sign_grade_en=''"),
            0);
  WhenShown("KXProtectSignWnd", [](WindowImplBase& window) {
    auto& sign = dynamic_cast<ProtectSignWnd&>(window);
    EXPECT_EQ(sign.CurrentTab(), ProtectSignDetails::kGuaranteeTab);
    EXPECT_EQ(window.FindControl<CTabLayoutUI>("protectsign_tab")->GetCurSel(), 2);
    EXPECT_EQ(Text(window, "protectsign/guar/data"), "Guaranteed up to 1,000,000");
    EXPECT_EQ(Text(window, "protectsign/guar/title"), "Guarantee");
    EXPECT_EQ(Text(window, "protectsign/auth/info"), "This site is certified by 0 authorities.");
    EXPECT_EQ(Text(window, "protectsign/sign/level"), "");  // an empty grade stays empty
    SaveScreenshot(window, "protect_sign_guarantee");
    ClickControl(window, "protectsign/btn01");
    EXPECT_EQ(sign.CurrentTab(), ProtectSignDetails::kAuthorityTab);
    EXPECT_EQ(window.FindControl<CTabLayoutUI>("protectsign_tab")->GetCurSel(), 0);
  });
  EXPECT_TRUE(
      ProtectSignWnd::ShowFor(0, list, u"http://bank.tarvo.test/news", u"http://127.0.0.11:8360/news", Direct()));
}

// Icons arriving in a window are run below, for a private one; which fetches fail and
// which names are refused is checked on the cache itself.
TEST_F(ProtectWindowsTest, AnIconArrivingAfterItsWindowClosedIsDropped) {
  LoopbackHttpServer server(IconServer);
  ProtectSignDetails details;
  details.hasAuthority = true;
  // A window closed before its icon arrives: the icon still lands in the cache, and
  // its report finds no window (the object is gone) and is dropped.
  details.iconUrls = {server.WideUrl("/late.png")};
  fs::remove(root_->path() / "cache" / "127.0.0.1_sign00");
  {
    ProtectSignWnd window(details, Cache(), Direct());
    WhenShown("KXProtectSignWnd", [](WindowImplBase&) {});
    window.Run(0);
  }
  EXPECT_TRUE(QTest::qWaitFor([&] { return fs::exists(root_->path() / "cache" / "127.0.0.1_sign00"); }, 10000));
  QTest::qWait(100);
}

// A private window's certification and QR windows show what they fetch and make
// from memory: the icons arrive as usual, the code reads back off the screen, and
// nothing is written to the cache folder.
TEST_F(ProtectWindowsTest, APrivateWindowsAuthorityIconsAndQrCodeStayInMemory) {
  LoopbackHttpServer server(IconServer);
  fs::remove_all(root_->path() / "cache");
  fs::create_directories(root_->path() / "cache");
  ProtectSignDetails details;
  details.hasAuthority = true;
  details.iconUrls = {server.WideUrl("/ca0.png"), server.WideUrl("/missing.png"), server.WideUrl("/ca2.png")};
  {
    ProtectSignWnd window(details, Cache(), Direct(), true);
    WhenShown("KXProtectSignWnd", [](WindowImplBase& shown) {
      const auto picture = [&shown](const char* name) { return shown.FindControl<MemoryPictureUI>(name); };
      for (const char* arrives : {"tab01/signIcon0", "tab01/signIcon2"}) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return picture(arrives)->HasPicture(); }, 10000)) << arrives;
      }
      QTest::qWait(300);
      EXPECT_FALSE(picture("tab01/signIcon1")->HasPicture());
      SaveScreenshot(shown, "protect_sign_icons_private");
    });
    EXPECT_GE(window.Run(0), 0);
  }
  const std::string address = "https://private.tarvo.test/account?id=7";
  QRCodeWnd qr(Utf8ToWide(address), Cache(), QRCodeWnd::Storage::kMemoryOnly);
  WhenShown("KXQRCodeWnd", [&](WindowImplBase& window) {
    EXPECT_EQ(dynamic_cast<QRCodeWnd&>(window).Written().status, QrCodeImage::Status::kOk);
    EXPECT_EQ(CodesOnScreen(window, "qrcode_img", "protect_qr_private"), std::vector<std::string>{address});
  });
  EXPECT_GE(qr.Run(0), 0);
  QTest::qWait(200);
  EXPECT_TRUE(fs::is_empty(root_->path() / "cache"));
}

}  // namespace
}  // namespace tarvo::test
