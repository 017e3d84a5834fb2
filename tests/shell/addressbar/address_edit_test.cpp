// The address bar control in a real window: what is posted on Return and the
// command keys, and typing kept against page updates.
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

#include "shell/addressbar/c_address_edit.h"
#include "shell/addressbar/c_address_edit_ui.h"
#include "shell/commands/main_window_commands.h"
#include "support/temp_dir.h"
#include "../windows/shell_test_owner.h"
#include "shell/commands/main_window_messages.h"

namespace tarvo::test {
namespace {

using namespace DuiLib;

constexpr char kToolbarSkin[] = R"(<?xml version="1.0" encoding="utf-8"?>
<Window size="600,60">
  <Font id="0" name="DejaVu Sans" size="12" default="true"/>
  <Font id="3" name="DejaVu Sans" size="13"/>
  <HorizontalLayout bkcolor="#FFFFFFFF" inset="8,6,8,6">
    <HorizontalLayout height="32" inset="10,0,4,0" bkcolor="#FFF1F3F6">
      <AddressEdit name="AddressEdit" font="3" textcolor="#FF1F2329"/>
    </HorizontalLayout>
    <Edit name="other" width="120"/>
  </HorizontalLayout>
</Window>)";

class AddressEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteSkinPackage((folder_.path() / "skin.dat").string(), {{"toolbar.xml", kToolbarSkin}});
    skin_ = std::make_unique<ScopedSkin>(QString::fromStdString(folder_.path().string()), "skin.dat");
    owner_ = std::make_unique<ShellTestOwner>("toolbar.xml", [](const QString& tag) -> std::unique_ptr<CControlUI> {
      if (tag.compare("AddressEdit", Qt::CaseInsensitive) == 0) return std::make_unique<CAddressEditUI>();
      return nullptr;
    });
    ASSERT_NE(owner_->Create(0, "toolbar", WS_POPUP, 0), 0u);
    ASSERT_TRUE(ShowAndWait(*owner_));
    control_ = owner_->FindControl<CAddressEditUI>("AddressEdit");
    ASSERT_NE(control_, nullptr);
    ASSERT_NE(control_->GetAddressEdit(), nullptr);
    edit_ = control_->GetAddressEdit()->GetEdit();
    owner_->GetWidget()->activateWindow();
    edit_->setFocus();
    QTest::qWait(20);
  }

  void TearDown() override {
    owner_->keepOpen = false;
    owner_->Close();
    QTest::qWait(10);
  }

  void Type(const QString& text) { QTest::keyClicks(edit_, text); }
  void Press(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(edit_, key, mods);
    QTest::qWait(20);  // posted messages arrive through the event loop
  }

  TempDir folder_;
  std::unique_ptr<ScopedSkin> skin_;
  std::unique_ptr<ShellTestOwner> owner_;
  CAddressEditUI* control_ = nullptr;
  QLineEdit* edit_ = nullptr;
};

TEST_F(AddressEditTest, ReturnAndCommandKeysPostOnceEachAndPlainLettersAreTyped) {
  std::vector<WString> sent;
  control_->SetTypedHandler([&sent](const WString& typed) { sent.push_back(typed); });
  for (const QString& typed : {QString("Example.COM/Path"), QString("two words here"), QString()}) {
    sent.clear();
    edit_->clear();
    Type(typed);
    QTest::keyClick(edit_, Qt::Key_Return);
    EXPECT_TRUE(sent.empty()) << "queued, not called inside the key handler";
    QTest::qWait(20);
    ASSERT_EQ(sent.size(), 1u) << typed.toStdString();
    EXPECT_EQ(QString::fromStdU16String(sent[0]), typed);
  }

  Press(Qt::Key_W, Qt::ControlModifier);
  Press(Qt::Key_H, Qt::ControlModifier);
  Press(Qt::Key_H, Qt::AltModifier);
  Press(Qt::Key_F11);
  EXPECT_EQ(owner_->Commands(), (std::vector<unsigned>{Commands::kCloseTab, Commands::kHideFavoriteBar,
                                                       Commands::kShowFavoriteBar, Commands::kToggleFullScreen}));
  owner_->posted.clear();
  Type("wh");
  Press(Qt::Key_Return);
  EXPECT_TRUE(owner_->Commands().empty());
  EXPECT_EQ(edit_->text(), "wh");
}

TEST_F(AddressEditTest, PageUpdatesWaitWhileTheUserTypesAndFollowThePageOnceSent) {
  Type("typing");
  control_->SetText("https://loaded.example/");
  EXPECT_EQ(control_->GetText(), "typing");
  // Sent with Return: the page's address comes back (an address that turned out to
  // be a download leaves the page where it was), though the focus stays.
  Press(Qt::Key_Return);
  control_->SetText("https://previous.example/");
  EXPECT_EQ(control_->GetText(), "https://previous.example/");
  ASSERT_TRUE(edit_->hasFocus());
  Type("again");
  control_->SetText("https://loaded.example/");
  EXPECT_EQ(control_->GetText(), "again");
  owner_->FindControl("other")->SetFocus();
  QTest::qWait(20);
  ASSERT_FALSE(edit_->hasFocus());
  control_->SetText("https://loaded.example/");
  EXPECT_EQ(control_->GetText(), "https://loaded.example/");
}

}  // namespace
}  // namespace tarvo::test
