// Searching with the chosen engine: the chooser's answers, the stored choice, the
// search address and history rows, and the chooser window itself.
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "shell/addressbar/search_engine_wnd.h"
#include "shell/addressbar/web_search.h"
#include "store/test_database.h"
#include "ui_test_support.h"

namespace tarvo::test {
namespace {

class WebSearchTest : public ::testing::Test {
 protected:
  std::string ChosenEngine() { return db_.Scalar("select value from info where key = 'search_engine'"); }
  std::string SearchRows() { return db_.Scalar("select count(*) from searchtext"); }

  TestDatabase db_;
  SearchRecords records_{db_.db()};
  WebSearch search_{records_};
};

TEST_F(WebSearchTest, ChooserResultsStoreTheirEngineAndSearchesRecordTheTextOnceUnlessPrivate) {
  WString icon;
  ASSERT_EQ(search_.ApplyChooserResult(3, icon), 0);
  EXPECT_EQ(ChosenEngine(), "google");
  EXPECT_EQ(icon, u"Toolbar\\google_22px.png");
  ASSERT_EQ(search_.ApplyChooserResult(1, icon), 0);
  EXPECT_EQ(ChosenEngine(), "so");
  for (int ignored : {-1, 4, SearchEngineWnd::kResultNone}) {
    WString untouched = u"before";
    EXPECT_EQ(search_.ApplyChooserResult(ignored, untouched), -1);
    EXPECT_EQ(untouched, u"before");
    EXPECT_EQ(ChosenEngine(), "so");
  }

  ASSERT_EQ(search_.ApplyChooserResult(3, icon), 0);
  std::vector<WString> opened;
  auto open = [&](const WString& url) { opened.push_back(url); };
  ASSERT_EQ(search_.Search("tarvo browser", open), 0);
  ASSERT_EQ(search_.Search("tarvo browser", open), 0);
  // A private window's search opens the same but leaves no text behind.
  ASSERT_EQ(search_.Search("private words", open, false), 0);
  ASSERT_EQ(opened.size(), 3u);
  EXPECT_EQ(opened[0], u"https://www.google.com/search?&q=tarvo%20browser");
  EXPECT_EQ(opened[2], u"https://www.google.com/search?&q=private%20words");
  EXPECT_EQ(SearchRows(), "1");
  EXPECT_EQ(db_.Scalar("select searchtext from searchtext"), "tarvo browser");

  // Query characters that are address syntax are kept, in the address and the row.
  ASSERT_EQ(search_.ApplyChooserResult(0, icon), 0);
  ASSERT_EQ(search_.Search(QString::fromUtf8("a&b=c #d+é'"), open), 0);
  EXPECT_EQ(opened.back(), u"https://www.baidu.com/s?wd=a%26b%3Dc%20%23d%2B%C3%A9%27");
  EXPECT_EQ(db_.Scalar("select searchtext from searchtext where rowid = (select max(rowid) from searchtext)"),
            "a&b=c #d+é'");
}

TEST_F(WebSearchTest, BlankTextOrNoEngineOpensNothingAndTheStartPageCarriesTheEngine) {
  int opened = 0;
  auto open = [&](const WString&) { ++opened; };
  const WString home = u"file:///opt/tarvo/home.html";
  WString icon;
  ASSERT_EQ(search_.ApplyChooserResult(2, icon), 0);
  EXPECT_EQ(search_.Search("   ", open), -1);
  EXPECT_EQ(search_.Search("", open), -1);
  // The start page carries the chosen engine, and without one goes plain.
  EXPECT_EQ(search_.StartPageWithEngine(home),
            u"file:///opt/tarvo/home.html?sp=https%3A%2F%2Fwww.sogou.com%2Fweb%3Fquery%3D");
  db_.db().Execute("delete from info where key = 'search_engine'");
  EXPECT_EQ(search_.Search("words", open), -1);
  EXPECT_EQ(search_.StartPageWithEngine(home), home);
  EXPECT_EQ(opened, 0);
  EXPECT_EQ(SearchRows(), "0");
}

class SearchEngineWndTest : public ::testing::Test {
 protected:
  // Runs the chooser and lets `act` drive it while it is modal.
  int RunChooser(const std::function<void(SearchEngineWnd&)>& act) {
    SearchEngineWnd chooser;
    QTimer::singleShot(50, [&] {
      (void)QTest::qWaitForWindowExposed(chooser.GetWidget());
      act(chooser);
    });
    return chooser.Choose(0, QPoint(100, 100));
  }

  ScopedSkin skin_{BuiltPackageFolder(), "skin/normal.dat"};
};

TEST_F(SearchEngineWndTest, EachButtonGivesItsIndexAndEscapeGivesNone) {
  const char* buttons[] = {"baidu_btn", "so_btn", "sogou_btn", "google_btn"};
  for (int i = 0; i < 4; ++i) {
    const int result = RunChooser([&](SearchEngineWnd& chooser) {
      EXPECT_EQ(chooser.GetWidget()->objectName(), "KXSearchEngineWnd");
      EXPECT_EQ(chooser.GetWindowRect().topLeft(), QPoint(100, 100));
      if (i == 0) SaveScreenshot(chooser, "shell_search_engine");
      QTest::mouseClick(chooser.GetWidget(), Qt::LeftButton, {}, CentreOf(chooser.FindControl(buttons[i])));
    });
    EXPECT_EQ(result, i);
  }
  EXPECT_EQ(SearchEngineWnd::TopLeftUnder(QRect(700, 40, 12, 32)), QPoint(700, 75));
  const int escaped = RunChooser([](SearchEngineWnd& chooser) { QTest::keyClick(chooser.GetWidget(), Qt::Key_Escape); });
  EXPECT_EQ(escaped, SearchEngineWnd::kResultNone);
  EXPECT_TRUE(skin_.Errors().empty());
}

}  // namespace
}  // namespace tarvo::test
