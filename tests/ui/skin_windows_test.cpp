// Every window skin of the built package: it builds without errors, holds the controls
// the windows look up, and shows (screenshots under test-artifacts/ui/).
#include <QTest>
#include <gtest/gtest.h>

#include "ui/box_layout_ui.h"
#include "ui/button_ui.h"
#include "ui/edit_ui.h"
#include "ui/native_host_ui.h"
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

// The controls looked up by windows that have no test of their own; the others'
// controls are found by their windows' tests, and every control of every window is
// reached by the keyboard in the accessibility end-to-end run.
const std::vector<SkinCase>& Skins() {
  static const std::vector<SkinCase> skins = {
      {"newmainwnd.xml", {}}, {"messagebox.xml", {}}, {"find.xml", {}}, {"rename.xml", {}}, {"menu.xml", {}},
      {"mainwndrightmenu.xml", {"close_btn", "new_tab_btn", "showfavorbar_btn",
                                "showsearchbar_btn", "showstatusbar_btn", "changeskin_btn"}},
      {"tabwndrightmenu.xml", {"tabrightmenu/pin_tab", "tabrightmenu/unpin_tab", "pin_box",
                               "unpin_box", "pin_tab", "unpin_tab", "close_btn"}},
      {"searchengine.xml", {"baidu_btn", "so_btn", "sogou_btn", "google_btn", "cancel_btn"}},
      {"first.xml", {"firstwnd/bglabel"}},
      {"favor.xml", {}}, {"history.xml", {}}, {"download.xml", {}}, {"protect.xml", {}}, {"protectsign.xml", {}},
      {"qrcode.xml", {}}, {"login.xml", {}}, {"login_success.xml", {}}, {"login_failed.xml", {}}, {"vnodelist.xml", {}},
      {"favormenu.xml", {}}, {"favorrightmenu.xml", {}}, {"language.xml", {}}, {"settings.xml", {}},
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

}  // namespace
}  // namespace tarvo::test
