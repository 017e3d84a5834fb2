#include "favorites_window_fixture.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

#include "favorites/windows/favorites_feature.h"
#include "favorites_fixture.h"
#include "favorites/windows/favorites_worker.h"
#include <filesystem>

#include "settings/language_manager.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "shell/pages/page.h"
#include "shell/pages/page_channels.h"
#include "shell/pages/shell_test_data.h"
#include "store/info_records.h"

namespace tarvo::test {

namespace {

ShellTestData& Data() {
  static ShellTestData* data = new ShellTestData();  // the program's one root, kept to the end
  return *data;
}

}  // namespace

void FavoritesWindowTest::SetUpTestSuite() {
  ASSERT_TRUE(Data().SetUp(u"about:blank", u"http://start.test/"));
  ASSERT_EQ(LanguageManager::Instance().SetLanguage(u"usa"), 0);
  std::filesystem::create_directories(WideToUtf8(SettingsRegistry::Instance().Get(SettingsKeys::kPictureFolder)));
}

FavoritesStore& FavoritesWindowTest::Store() {
  static FavoritesStore* store = new FavoritesStore(ShellTestData::Database(), TestAccount());
  return *store;
}

FavoritesWorker& FavoritesWindowTest::Worker() {
  static FavoritesWorker* worker = new FavoritesWorker();
  return *worker;
}

void FavoritesWindowTest::SetUp() {
  skin_ = std::make_unique<ScopedSkin>(BuiltPackageFolder(), QStringLiteral("skin/normal.dat"));
  SetDocument(Json::Value(Json::arrayValue));
  windows_ = std::make_unique<BrowserWindows>(TestAccount(), ShellTestData::Database());
  FavoritesFeature::RegisterWindows(*windows_, {Store(), Worker()}, TestAccount());
  auto factory = std::make_unique<LateRecordingFactory>();
  factory_ = factory.get();
  window_ = std::make_unique<MainDuiWnd>(*windows_, std::move(factory));
  factory_->Bind(window_->PageList());
  ASSERT_TRUE(window_->CreateAndShow());
  ASSERT_TRUE(QTest::qWaitFor([this] { return CurrentPage() != nullptr; }, 5000));
  window_->GetWidget()->resize(1200, 600);
  window_->GetWidget()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window_->GetWidget()));
}

void FavoritesWindowTest::TearDown() {
  Settle();
  // Closing ends the application's event loop, so it runs inside one.
  if (window_->GetHWND() != 0 && window_->GetWidget()->isVisible()) {
    QTimer::singleShot(0, [this] { window_->SendMessage(DuiLib::WM_CLOSE); });
    EXPECT_EQ(QApplication::exec(), 0);
  }
  window_.reset();
  windows_.reset();
  skin_.reset();
  QTest::qWait(50);
}

void FavoritesWindowTest::SetDocument(const Json::Value& items) {
  Settle();
  InfoRecords(ShellTestData::Database()).SetInfo(FavoritesStore::kStorageKey, Utf8ToWide(FavoritesTree(items).ToText()));
  ASSERT_EQ(Store().Load(), 0);
  Settle();
}

void FavoritesWindowTest::Settle() {
  Worker().Finish(10000);
  QTest::qWait(60);
}

FavoriteBarUI* FavoritesWindowTest::Bar() const {
  return window_ != nullptr ? dynamic_cast<FavoriteBarUI*>(window_->Control(QStringLiteral("favor_bar"))) : nullptr;
}

std::vector<FavoriteBarButtonUI*> FavoritesWindowTest::Buttons() const {
  std::vector<FavoriteBarButtonUI*> buttons;
  if (FavoriteBarUI* bar = Bar()) {
    for (int i = 0; i < bar->GetCount(); ++i) {
      if (auto* button = dynamic_cast<FavoriteBarButtonUI*>(bar->GetItemAt(i))) buttons.push_back(button);
    }
  }
  return buttons;
}

FavoriteBarButtonUI* FavoritesWindowTest::ButtonNamed(const std::string& name) const {
  for (FavoriteBarButtonUI* button : Buttons()) if (button->GetToolTip() == QString::fromStdString(name)) return button;
  return nullptr;
}

RecordingBody* FavoritesWindowTest::CurrentBody() const {
  return CurrentPage() != nullptr ? dynamic_cast<RecordingBody*>(CurrentPage()->Body()) : nullptr;
}

void FavoritesWindowTest::ShowAddress(const WString& url, const WString& title) {
  PageChannels::kTempRedirect.Post(std::make_unique<PageRedirectRecord>(PageRedirectRecord{CurrentPage(), url, 0}));
  PageChannels::kSetTitle.Post(std::make_unique<PageTextRecord>(PageTextRecord{CurrentPage(), title}));
  EXPECT_TRUE(QTest::qWaitFor([&] { return CurrentPage()->GetDisplayUrl() == url; }, 2000));
}

void FavoritesWindowTest::Click(DuiLib::CControlUI* control, Qt::MouseButton button) {
  ASSERT_NE(control, nullptr);
  window_->GetPaintManager().UpdateLayout();
  QTest::mouseClick(window_->GetWidget(), button, {}, CentreOf(control));
}

}  // namespace tarvo::test
