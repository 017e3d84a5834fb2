// Every window skin of the built package: it builds without errors, holds the controls
// the windows look up, and shows (screenshots under test-artifacts/ui/).
#include <QTest>
#include <gtest/gtest.h>

#include "ui/box_layout_ui.h"
#include "ui/button_ui.h"
#include "ui/edit_ui.h"
#include "ui/native_host_ui.h"
#include "ui/resource_manager.h"
#include "ui_test_support.h"

namespace tarvo::test {
namespace {

using namespace DuiLib;

// Stand-ins for the browser's own controls of the custom tags.
std::unique_ptr<CControlUI> BrowserTags(const QString& tag) {
  const auto is = [&](const char* name) { return tag.compare(QLatin1String(name), Qt::CaseInsensitive) == 0; };
  if (is("AddressEdit")) return std::make_unique<CEditUI>();
  if (is("FavorBar")) return std::make_unique<CHorizontalLayoutUI>();
  if (is("BodyBar")) return std::make_unique<CNativeHostUI>();
  if (is("RightClickButton")) return std::make_unique<CButtonUI>();
  if (is("Icon")) return std::make_unique<CControlUI>();
  if (is("MemoryPicture")) return std::make_unique<CControlUI>();
  return nullptr;
}

struct SkinCase {
  const char* file;
  std::vector<const char*> controls;
};

const std::vector<SkinCase>& Skins() {
  static const std::vector<SkinCase> skins = {
      {"newmainwnd.xml", {"minbtn", "maxbtn", "restorebtn", "closebtn", "back_btn", "forward_btn", "refresh_btn",
                          "stop_btn", "home_go", "empty_btn", "download_btn", "browser_tabadd", "favor_btn", "se_btn",
                          "searchmini_btn", "qrcode_btn", "search_btn", "protect_btn", "protectsign_btn", "logo_btn",
                          "AddressEdit", "SearchEdit", "browser_tabhead_top", "browser_tabhead", "bubble", "lock_btn",
                          "favor_bar", "body_bar"}},
      {"messagebox.xml", {"message", "ensure_btn", "cancel_btn", "cancel_btn_btn", "cancel_btn_sp"}},
      {"find.xml", {"find/title", "find/find_edit", "find/next_btn", "find/back_btn", "find/ccbtn"}},
      {"rename.xml", {"rename/title", "rename/name", "rename/okbtn", "rename/ccbtn", "rename/rename_edit"}},
      {"menu.xml", {"cancel_btn", "login_btn", "logout_btn", "favor_btn", "download_btn", "newwnd_btn", "newincog_btn",
                    "savepic_btn", "savefile_btn", "search_btn", "fullscreen_btn", "empty_btn", "language_btn",
                    "upgrade_btn", "default_btn", "history_btn", "setting_btn", "screenshot_btn", "option_btn",
                    "nickname_lbl", "userphoto_ctl"}},
      {"mainwndrightmenu.xml", {"close_btn", "new_tab_btn", "showfavorbar_btn", "showsearchbar_btn",
                                "showstatusbar_btn", "changeskin_btn"}},
      {"tabwndrightmenu.xml", {"tabrightmenu/pin_tab", "tabrightmenu/unpin_tab", "pin_box", "unpin_box", "pin_tab",
                               "unpin_tab", "close_btn"}},
      {"searchengine.xml", {"baidu_btn", "so_btn", "sogou_btn", "google_btn", "cancel_btn"}},
      {"first.xml", {"firstwnd/bglabel"}},
      {"favor.xml", {"name_edt", "url_edt", "favor_tree", "favor_edt", "favor/newfold", "favor/okbtn", "favor/ccbtn",
                     "favor/titledef", "favor/folder", "favor/favor", "favor/title", "favor/url"}},
      {"history.xml", {"cb_rec", "cb_dl", "cb_file", "cb_cookie", "cb_pwd", "cb_form", "exitclean_chk", "cancel_btn",
                       "history/clearbtn", "history/exitautoclear", "history/descript", "history/history",
                       "history/browselist", "history/downloadlist", "history/pics", "history/cookie",
                       "history/password", "history/form"}},
      {"download.xml", {"download/total", "download/pause", "download/cancel", "download/showfile", "download/download",
                        "download/clearandremove", "download/clearbtn", "download/closebtn", "cancel_btn",
                        "download_list", "deletefile_check"}},
      {"protect.xml", {"protect/protect", "protect/protect_switch_on", "protect/protect_switch_off", "protect/descript",
                       "protect/speed", "protect/canuse", "protect/countryselect", "protect/districtselect",
                       "protect/districtdescript", "protect/connectbtn", "protect/closebtn", "protect_btn",
                       "protect_lbl", "protect_region", "country_cb_btn", "area_cb_btn", "country_cb", "area_cb",
                       "country_layout", "area_layout", "tip_lbl", "ensure_btn", "cancel_btn"}},
      {"protectsign.xml", {"protectsign/auth/title", "protectsign/auth/info", "protectsign/sign/title",
                           "protectsign/sign/level", "protectsign/sign/code_title", "protectsign/sign/code",
                           "protectsign/sign/desc", "protectsign/guar/title", "protectsign/guar/data",
                           "protectsign/guar/desc", "protectsign/header_icon", "protectsign/btn01",
                           "protectsign/btn02", "protectsign/btn03", "protectsign/guar/icon", "tab_01", "tab_02",
                           "tab_03", "tab01/signIcon0", "tab01/signIcon9", "cancel_btn"}},
      {"qrcode.xml", {"qrcodewnd/scan", "qrcodewnd/qrcode", "qrcode_img", "cancel_btn"}},
      {"login.xml", {"login_tab", "login/regist", "login/autologin", "personreg/personreg", "companyreg/companyreg",
                     "login/noacct", "login/p1_registperson", "login/email", "login/password", "login/canlogin",
                     "login/loginbtn", "login/registperson", "login/registperson_label", "companyreg/descript",
                     "personreg/descript", "companyreg/regor", "personreg/regor", "companyreg/login",
                     "personreg/login", "companyreg/license", "personreg/license", "companyreg/regbtn",
                     "personreg/regbtn", "companyreg/password", "personreg/password", "companyreg/email",
                     "personreg/email", "bg_img", "login/p1_acct", "login/p1_pwd", "login/p2_acct", "login/p2_pwd",
                     "login/p3_acct", "login/p3_pwd", "p1_acct_bad", "p1_pwd_bad", "tocompany_btn",
                     "personreg/agree", "companyreg/agree", "cancel_btn"}},
      {"login_success.xml", {"regsuccess/loginbtn", "regsuccess/succ_begin", "regsuccess/succ_end", "regsuccess/acct",
                             "regsuccess/regor", "regsuccess/login", "cancel_btn"}},
      {"login_failed.xml", {"regfailed/failed_1", "regfailed/failed_2", "regfailed/failed_3", "regfailed/failed_4",
                            "regfailed/failed_5", "regfailed/reg_btn", "regsuccess/login", "cancel_btn"}},
      {"vnodelist.xml", {"node_list", "cancel_btn"}},
      {"favormenu.xml", {"major"}},
      {"favorrightmenu.xml", {"major"}},
      {"language.xml", {"major"}},
      {"settings.xml", {"settings/title", "settings/closebtn", "settings/startup", "settings/restore",
                        "settings/tabs", "settings/sleep", "settings/sleep_after", "settings/sleep_minutes",
                        "settings/minutes", "settings/language", "settings/language_list", "settings/search",
                        "settings/engine_baidu", "settings/engine_so", "settings/engine_sogou",
                        "settings/engine_google", "settings/privacy", "settings/exit_clean", "settings/default",
                        "settings/default_state", "settings/default_btn", "settings/tab_general",
                        "settings/tab_passwords", "settings/pages", "settings/offer_passwords",
                        "settings/password_list", "settings/passwords_state", "settings/passwords_delete_all"}},
  };
  return skins;
}

TEST(SkinWindowsTest, EverySkinBuildsWithItsNamedControlsAndLooksRight) {
  ScopedSkin skin(BuiltPackageFolder(), "skin/normal.dat");
  for (const SkinCase& c : Skins()) {
    SCOPED_TRACE(c.file);
    TestWindow window(c.file, BrowserTags);
    ASSERT_NE(window.Create(0, c.file, WS_POPUP, 0), 0u);
    ASSERT_NE(window.GetPaintManager().GetRoot(), nullptr);
    for (const char* name : c.controls) {
      EXPECT_NE(window.GetPaintManager().FindControl(name), nullptr) << "missing control " << name;
    }
    ASSERT_TRUE(ShowAndWait(window));
    QTest::qWait(10);
    const QImage shot = SaveScreenshot(window, QString::fromLatin1(c.file).replace(".xml", ""));
    EXPECT_FALSE(shot.isNull());
    window.Close(0);
    QTest::qWait(10);
  }
  EXPECT_TRUE(skin.Errors().empty()) << (skin.Errors().empty() ? "" : skin.Errors()[0].toStdString());
}

TEST(SkinWindowsTest, LanguagePicturesExistForEveryFolder) {
  ScopedSkin skin(BuiltPackageFolder(), "skin/normal.dat");
  const char* pictures[] = {"first_bg.jpg", "bookmark_title.png", "bookmark_btn03_hover.png", "rename_btn02_hover.png",
                            "clear_08.png", "clear_btn01_hover.png", "dl_btn02_hover.png", "bg_login.jpg",
                            "register_btn_personal.png"};
  for (const char* folder : {"CN", "EN", "TH", "VN"}) {
    for (const char* picture : pictures) {
      const QString name = QStringLiteral("LangPic\\%1\\%2").arg(QLatin1String(folder), QLatin1String(picture));
      EXPECT_FALSE(CResourceManager::Instance().GetImage(name).isNull()) << name.toStdString();
    }
  }
  for (const char* image : {"Tabbar\\normal_bg.png", "Tabbar\\favicon_newtab.png", "Toolbar\\bookmark_folder.png",
                            "Toolbar\\favorbar_item_hover.png", "Toolbar\\tick.png", "Toolbar\\logo_dev.png",
                            "Dialog\\menu_bk.png", "Dialog\\progress_fore.png", "Dialog\\menu_user.png",
                            "Dialog\\menu_user_disable.png", "Dialog\\house.png", "Dialog\\CN.png", "Dialog\\JP.png",
                            "Protect\\safe03_icon01.png", "Protect\\btn03_no.png", "Language\\flag_vietnam.png"}) {
    const QPixmap one = CResourceManager::Instance().GetImage(image);
    const QPixmap two = CResourceManager::Instance().GetImage(image, 2.0);
    EXPECT_FALSE(one.isNull()) << image;
    EXPECT_EQ(two.size(), one.size() * 2) << image;
  }
  EXPECT_TRUE(skin.Errors().empty());
}

}  // namespace
}  // namespace tarvo::test
