// The clear-data window and the history page from the built skin package: what is
// cleared; visits by day, opened and deleted. Clearing records and cookies and
// the exit-clean switch are run end to end.
#include <QDateTime>
#include <QTest>

#include <gtest/gtest.h>

#include "downloads/download_manager.h"
#include "history/browsing_data_cleaner.h"
#include "history/i_engine_data.h"
#include "history/windows/history_list_wnd.h"
#include "history/windows/history_wnd.h"
#include "shown_windows.h"
#include "store/history_records.h"
#include "store/search_records.h"
#include "store/test_database.h"
#include "support/language_environment.h"
#include "ui/container_ui.h"
#include "ui/list_ui.h"
#include "ui_test_support.h"

namespace tarvo::test {
namespace {

using DuiLib::WindowImplBase;

const auto* const kEnglish =
    ::testing::AddGlobalTestEnvironment(new LanguageEnvironment("TARVO_SOURCE_DIR", "/lang/", u"usa"));

struct CountingEngines : IEngineData {
  void ClearCookies() override { ++cookies; }
  void ClearCache() override {}
  void ClearVisitedLinks() override {}
  int cookies = 0;
};

class HistoryWindowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    cleaner_.SetEngines(&engines_);
    cleaner_.SetDownloads(&downloads_);
  }
  int64_t Visit(const WString& url, const WString& title, int64_t at) {
    PageUrl page{url, url, false, 0};
    HistoryRecords(store_.db()).AddHistory(page);
    HistoryRecords(store_.db()).SetTitle(page.historyId, title);
    store_.db().Execute("update history set created_at=? where id=?", {at, page.historyId});
    return page.historyId;
  }
  int Rows(const char* table) { return std::stoi(store_.Scalar(std::string("select count(*) from ") + table)); }

  ScopedSkin skin_{BuiltPackageFolder(), "skin/normal.dat"};
  TestDatabase store_;
  DownloadManager downloads_{store_.db()};
  BrowsingDataCleaner cleaner_{store_.db()};
  CountingEngines engines_;
};

// The chosen option's data goes, the others' stays, and the window closes once done.
TEST_F(HistoryWindowsTest, ClearingRemovesOnlyWhatWasChosenThenCloses) {
  Visit(u"http://a.test/", u"A", 1000);
  SearchRecords(store_.db()).AddSearchText(u"typed");
  HistoryWnd window(cleaner_, store_.db());
  WhenShown("KXHistoryWnd", [&](WindowImplBase& shown) {
    ClickControl(shown, "cb_rec");
    ClickControl(shown, "history/clearbtn");
  });
  window.Run(0, QPoint(900, 80));
  EXPECT_EQ(ShownWindowOf("KXHistoryWnd"), nullptr);
  EXPECT_EQ(Rows("history") + Rows("searchtext"), 0);
  EXPECT_EQ(engines_.cookies, 0) << "cookies were not chosen";
}

// Day headings and times are written in the interface language, not the desktop's.
TEST_F(HistoryWindowsTest, TheHistoryPageListsVisitsByDayOpensAndDeletes) {
  const QLocale desktop;
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  const int64_t now = QDateTime::currentSecsSinceEpoch();
  Visit(u"http://news.test/today", u"Morning news", now);
  Visit(u"http://shop.test/100%", u"", now - 1);
  Visit(u"http://news.test/old", u"March \"news\"", QDateTime(QDate(2026, 3, 2), QTime(15, 7)).toSecsSinceEpoch());
  std::vector<WString> opened;
  HistoryListWnd* page =
      HistoryListWnd::OpenNew(0, store_.db(), [&](const WString& url) { opened.push_back(url); });
  ASSERT_NE(page, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(page->GetWidget()));
  auto& list = *page->FindControl<DuiLib::CListUI>(QStringLiteral("historylist/list"));
  auto kinds = [&] {
    QStringList names;
    for (int i = 0; i < list.GetCount(); ++i) names << list.GetItemAt(i)->GetName();
    return names.join(' ');
  };
  EXPECT_EQ(kinds(), "day visit visit day visit");
  SaveScreenshot(*page, "history_page");
  auto text = [&](int row, int item) {
    return static_cast<DuiLib::CContainerUI*>(list.GetItemAt(row))->GetItemAt(item)->GetText();
  };
  EXPECT_TRUE(text(0, 0).startsWith("Today - ")) << text(0, 0).toStdString();
  EXPECT_EQ(text(3, 0), "Monday, March 2, 2026");
  // Newer locale data puts a narrow no-break space before "PM".
  EXPECT_EQ(text(4, 0).replace(QChar(0x202F), QLatin1Char(' ')), "3:07 PM");
  QLocale::setDefault(desktop);
  auto control = [&](int row, const char* name) {
    return list.GetItemAt(row)->FindControl([&](DuiLib::CControlUI* c) { return c->GetName() == QLatin1String(name); });
  };
  EXPECT_EQ(control(1, "historylist_open")->GetText(), "Morning news");
  EXPECT_EQ(control(2, "historylist_open")->GetText(), "http://shop.test/100%") << "no title: the address";
  auto click = [&](DuiLib::CControlUI* target) {
    ASSERT_TRUE(QTest::qWaitFor([&] { return !target->GetPos().isEmpty(); }));
    QTest::mouseClick(page->GetWidget(), Qt::LeftButton, {}, CentreOf(target));
  };
  click(control(1, "historylist_open"));
  EXPECT_EQ(opened, std::vector<WString>{u"http://news.test/today"});

  click(control(2, "historylist_delete"));
  EXPECT_EQ(kinds(), "day visit day visit");
  click(control(2, "historylist_delete_day"));
  EXPECT_EQ(kinds(), "day visit");
  EXPECT_EQ(Rows("history"), 1);
  ClickControl(*page, "historylist/closebtn");
  ASSERT_TRUE(QTest::qWaitFor([] { return ShownWindowOf("KXHistoryListWnd") == nullptr; }));
}

}  // namespace
}  // namespace tarvo::test
