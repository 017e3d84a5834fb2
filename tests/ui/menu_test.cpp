// Pop-up menus from the package: items built at run time, notifications to the owner,
// and what leaves a menu open.
#include <QPointer>
#include <QTest>
#include <gtest/gtest.h>

#include "ui/box_layout_ui.h"
#include "ui/label_ui.h"
#include "ui/menu_element_ui.h"
#include "ui/menu_ui.h"
#include "ui/menu_wnd.h"
#include "ui/static_menu_element_ui.h"
#include "ui/window_registry.h"
#include "ui_test_support.h"

namespace tarvo::test {
namespace {

using namespace DuiLib;

class MenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    skin_ = std::make_unique<ScopedSkin>(BuiltPackageFolder(), "skin/normal.dat");
    owner_ = std::make_unique<TestWindow>("find.xml");
    ASSERT_NE(owner_->Create(0, "owner", WS_POPUP, 0), 0u);
    ASSERT_TRUE(ShowAndWait(*owner_));
    owner_->notifications.clear();
  }

  // The favourites folder menu, built with the strings the favourites bar uses.
  CMenuWnd* OpenFolderMenu(int entries) {
    auto* menu = new CMenuWnd;
    const QPoint at = owner_->GetWidget()->mapToGlobal(QPoint(10, 10));
    if (!menu->Init(owner_->GetHWND(), "favormenu.xml", at)) return nullptr;
    CMenuUI* panel = menu->GetMenuUI();
    panel->ApplyAttributeList(
        R"(name="major" width="360" height="216" bkimage="file='Dialog\menu_bk.png' corner='5,5,5,5'" major="true")");
    panel->ApplyAttributeList(QString(R"(height="%1")").arg(30 * entries));
    for (int i = 0; i < entries; ++i) {
      auto item = std::make_unique<CMenuElementUI>();
      item->ApplyAttributeList(QString(R"(command="%1" height="30" padding="4,0,4,0")").arg(100 + i));
      auto row = std::make_unique<CHorizontalLayoutUI>();
      row->SetMouseEnabled(false);
      auto icon = std::make_unique<CLabelUI>();
      icon->ApplyAttributeList(
          R"(mouse="false" padding="4,9,4,9" width="16" height="12" bkimage="file='Toolbar\bookmark_folder.png'")");
      auto text = std::make_unique<CLabelUI>();
      text->ApplyAttributeList(R"(mouse="false" width="240")");
      text->SetText(QStringLiteral("Bookmark %1").arg(i));
      row->Add(std::move(icon));
      row->Add(std::move(text));
      item->Add(std::move(row));
      panel->Add(std::move(item));
    }
    menu->ResizeMenu();
    (void)QTest::qWaitForWindowExposed(menu->GetWidget());
    return menu;
  }

  std::unique_ptr<ScopedSkin> skin_;
  std::unique_ptr<TestWindow> owner_;
};

TEST_F(MenuTest, ItemClickReachesTheOwnerAndClosesTheMenu) {
  CMenuWnd* menu = OpenFolderMenu(4);
  ASSERT_NE(menu, nullptr);
  QPointer<QWidget> widget = menu->GetWidget();
  EXPECT_EQ(widget->objectName(), "MenuWndCls");
  EXPECT_EQ(widget->size(), QSize(360, 120));
  SaveScreenshot(*menu, "menu_favormenu");
  const HWND handle = menu->GetHWND();
  QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(60, 4 + 30 * 2 + 15));
  QTest::qWait(30);
  ASSERT_EQ(owner_->Of(kNotifyItemClick).size(), 1u);
  EXPECT_EQ(owner_->Of(kNotifyItemClick)[0].wParam, 102u);
  EXPECT_EQ(CWindowRegistry::Instance().Find(handle), nullptr);  // closed and freed itself
}

TEST_F(MenuTest, RightClicksAndStaticItemsLeaveTheMenuOpen) {
  CMenuWnd* menu = OpenFolderMenu(2);
  ASSERT_NE(menu, nullptr);
  auto caption = std::make_unique<CStaticMenuElementUI>();
  caption->ApplyAttributeList(R"(command="1" height="30")");
  menu->GetMenuUI()->Add(std::move(caption));
  menu->GetMenuUI()->ApplyAttributeList(R"(height="98")");
  menu->ResizeMenu();
  QTest::qWait(20);
  const HWND handle = menu->GetHWND();
  QTest::mouseClick(menu->GetWidget(), Qt::RightButton, {}, QPoint(60, 4 + 15));
  EXPECT_EQ(owner_->Of(kNotifyRightClick).size(), 1u);
  QTest::mouseClick(menu->GetWidget(), Qt::LeftButton, {}, QPoint(60, 4 + 30 * 2 + 15));  // the static item
  QTest::qWait(20);
  EXPECT_TRUE(owner_->Of(kNotifyItemClick).empty());
  EXPECT_NE(CWindowRegistry::Instance().Find(handle), nullptr);
  menu->Close(IDCANCEL);
  QTest::qWait(30);
  EXPECT_EQ(CWindowRegistry::Instance().Find(handle), nullptr);
}

TEST_F(MenuTest, MissingMenuSkinStillGivesAWindowAndAnError) {
  auto* menu = new CMenuWnd;
  ASSERT_TRUE(menu->Init(owner_->GetHWND(), "no_such_menu.xml", QPoint(50, 50)));
  EXPECT_EQ(menu->GetMenuUI(), nullptr);
  EXPECT_EQ(skin_->Errors().size(), 1u);
  (void)QTest::qWaitForWindowExposed(menu->GetWidget());
  menu->Close(IDCANCEL);
  QTest::qWait(20);
}

}  // namespace
}  // namespace tarvo::test
