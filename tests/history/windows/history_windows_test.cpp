// The clear-data window and the history page from the built skin package: the
// options come back checked one step at a time and are cleared in that order; visits
// by day, found, opened and deleted. The exit-clean switch is run end to end.
#include <QDateTime>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include "downloads/download_manager.h"
#include "history/browsing_data_cleaner.h"
#include "history/i_engine_data.h"
#include "history/windows/history_list_wnd.h"
#include "history/windows/history_wnd.h"
#include "settings/language_manager.h"
#include "shown_windows.h"
#include "store/history_records.h"
#include "store/search_records.h"
#include "store/test_database.h"
#include "support/language_environment.h"
#include "ui/check_box_ui.h"
#include "ui/container_ui.h"
#include "ui/edit_ui.h"
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
  static bool Checked(WindowImplBase& window, const char* box) {
    return window.FindControl<DuiLib::CCheckBoxUI>(QLatin1String(box))->GetCheck();
  }

  ScopedSkin skin_{BuiltPackageFolder(), "skin/normal.dat"};
  TestDatabase store_;
  DownloadManager downloads_{store_.db()};
  BrowsingDataCleaner cleaner_{store_.db()};
  CountingEngines engines_;
};

TEST_F(HistoryWindowsTest, ClearingTicksTheChosenOptionsBackOneByOneThenCloses) {
  struct Case {
    const char* name;
    std::vector<const char*> chosen;
    std::vector<std::string> expected;  // the states seen, one per step
  };
  for (const Case& c : {Case{"nothing", {}, {"closed"}},
                        Case{"records and cookies", {"cb_rec", "cb_cookie"}, {"rec", "rec cookie", "closed"}}}) {
    SCOPED_TRACE(c.name);
    Visit(u"http://a.test/", u"A", 1000);
    SearchRecords(store_.db()).AddSearchText(u"typed");
    engines_.cookies = 0;
    std::vector<std::string> seen;
    HistoryWnd window(cleaner_, store_.db());
    WhenShown("KXHistoryWnd", [&](WindowImplBase& shown) {
      SaveScreenshot(shown, "history_clear_data");
      for (const char* box : c.chosen) ClickControl(shown, box);
      ClickControl(shown, "history/clearbtn");
      EXPECT_FALSE(Checked(shown, "cb_rec")) << "the chosen options are unchecked first";
      EXPECT_FALSE(Checked(shown, "cb_cookie"));
      // Each step checks one more option, and its data is gone by then.
      std::string last;
      while (ShownWindowOf("KXHistoryWnd") != nullptr) {
        std::string now = Checked(shown, "cb_rec") ? "rec" : "";
        if (Checked(shown, "cb_cookie")) now += now.empty() ? "cookie" : " cookie";
        if (!now.empty() && now != last) {
          seen.push_back(now);
          last = now;
          EXPECT_EQ(Rows("history") + Rows("searchtext"), 0);
          EXPECT_EQ(engines_.cookies, now == "rec" ? 0 : 1);
        }
        QTest::qWait(20);
      }
    });
    window.Run(0, QPoint(900, 80));
    seen.push_back("closed");
    EXPECT_EQ(seen, c.expected);
    EXPECT_EQ(Rows("history"), c.chosen.empty() ? 1 : 0);
    store_.db().Execute("delete from history; delete from searchtext;");
  }
}

TEST_F(HistoryWindowsTest, TheHistoryPageListsVisitsByDayFindsOpensAndDeletes) {
  const int64_t now = QDateTime::currentSecsSinceEpoch();
  const int64_t yesterday = QDateTime(QDate::currentDate().addDays(-1), QTime(12, 0)).toSecsSinceEpoch();
  Visit(u"http://news.test/today", u"Morning news", now);
  Visit(u"http://shop.test/100%", u"", now - 1);
  Visit(u"http://news.test/old", u"Yesterday's \"news\"", yesterday);
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

  auto* search = page->FindControl<DuiLib::CEditUI>(QStringLiteral("historylist/search"));
  QTest::keyClicks(search->GetLineEdit(), "NEWS");
  EXPECT_EQ(kinds(), "day visit day visit");
  QTest::keyClicks(search->GetLineEdit(), "xyz");
  EXPECT_EQ(kinds(), "nothing");
  search->GetLineEdit()->selectAll();
  QTest::keyClick(search->GetLineEdit(), Qt::Key_Backspace);
  EXPECT_EQ(kinds(), "day visit visit day visit");

  click(control(2, "historylist_delete"));
  EXPECT_EQ(kinds(), "day visit day visit");
  click(control(2, "historylist_delete_day"));
  EXPECT_EQ(kinds(), "day visit");
  EXPECT_EQ(Rows("history"), 1);
  ClickControl(*page, "historylist/closebtn");
  ASSERT_TRUE(QTest::qWaitFor([] { return ShownWindowOf("KXHistoryListWnd") == nullptr; }));
}

// Day headings and times follow the interface language, not the desktop's locale:
// no "今天 - Monday" mixes.
TEST_F(HistoryWindowsTest, TheHistoryPageWritesDatesAndTimesInTheInterfaceLanguage) {
  const QLocale desktop;
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  Visit(u"http://news.test/today", u"Today's news", QDateTime(QDate::currentDate(), QTime(0, 0, 1)).toSecsSinceEpoch());
  Visit(u"http://news.test/march", u"March news", QDateTime(QDate(2026, 3, 2), QTime(15, 7)).toSecsSinceEpoch());
  struct Case {
    const char16_t* language;
    const char* todayPrefix;
    const char* day;  // the heading of 2 March 2026
    const char* time;
  };
  for (const Case& c : {Case{u"usa", "Today - ", "Monday, March 2, 2026", "3:07 PM"},
                        Case{u"china", "今天 - ", "2026年3月2日星期一", "下午3:07"}}) {
    ASSERT_EQ(LanguageManager::Instance().SetLanguage(c.language), 0);
    HistoryListWnd* page = HistoryListWnd::OpenNew(0, store_.db(), [](const WString&) {});
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(page->GetWidget()));
    auto& list = *page->FindControl<DuiLib::CListUI>(QStringLiteral("historylist/list"));
    ASSERT_EQ(list.GetCount(), 4);
    auto text = [&](int row, int item) {
      return static_cast<DuiLib::CContainerUI*>(list.GetItemAt(row))->GetItemAt(item)->GetText();
    };
    EXPECT_TRUE(text(0, 0).startsWith(QString::fromUtf8(c.todayPrefix))) << text(0, 0).toStdString();
    EXPECT_EQ(text(2, 0), QString::fromUtf8(c.day));
    EXPECT_EQ(text(3, 0), QString::fromUtf8(c.time));
    SaveScreenshot(*page, QStringLiteral("history_page_") + QString::fromStdU16String(c.language));
    ClickControl(*page, "historylist/closebtn");
    ASSERT_TRUE(QTest::qWaitFor([] { return ShownWindowOf("KXHistoryListWnd") == nullptr; }));
  }
  ASSERT_EQ(LanguageManager::Instance().SetLanguage(u"usa"), 0);
  QLocale::setDefault(desktop);
}

}  // namespace
}  // namespace tarvo::test
