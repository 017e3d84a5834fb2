// The page and tab model in a host window with a tab strip, a toolbar and a body bar,
// driven like the main window drives it: operations on the page list and messages
// drained from the bus. Bodies are recording stand-ins; the engines have their own
// programs.
#include <QBuffer>
#include <QImage>
#include <QTest>
#include <filesystem>
#include <memory>
#include <gtest/gtest.h>

#include "settings/language_manager.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "support/loopback_http_server.h"
#include "net/payload_cipher.h"
#include "net/picture_cache.h"
#include "platform/text.h"
#include "shell/pages/c_body_bar.h"
#include "shell/pages/page.h"
#include "shell/pages/page_channels.h"
#include "shell/pages/pages.h"
#include "shell/pages/pages_host.h"
#include "shell/pages/pages_language_keys.h"
#include "shell/pages/pages_messages.h"
#include "shell/pages/shell_test_data.h"
#include "shell/pages/tab.h"
#include "shell/pages/tab_option.h"
#include "shell/pages/tab_parts.h"
#include "ui/window_registry.h"
#include "store/query_table.h"
#include "store/user_database.h"
#include "support/temp_dir.h"

namespace tarvo::test {
namespace {

constexpr char16_t kNewPage[] = u"file:///opt/tarvo/home.html";
constexpr char16_t kHomePage[] = u"http://127.0.0.1:9/home";

RecordingBody* BodyOf(Page* page) { return static_cast<RecordingBody*>(page->Body()); }

class PagesTest : public ::testing::Test {
 protected:
  // Once per program, though suites derived from this one run it again.
  static void SetUpTestSuite() {
    if (data_ != nullptr) return;
    data_ = new ShellTestData();
    ASSERT_TRUE(data_->SetUp(kNewPage, kHomePage));
  }

  int HistoryRows(const std::string& url) {
    QueryTable table;
    ShellTestData::Database().Query("select id from history where url = ?", {url}, &table);
    return static_cast<int>(table.rows.size());
  }

  PagesHost host{ShellTestData::Database()};
  Pages& pages = host.pages;

  static inline ShellTestData* data_ = nullptr;  // kept for the whole program
};

TEST_F(PagesTest, NavigationHistoryIsRecordedAndWalkedByTheShell) {
  // The database lives as long as the program: rows of a repeated run must not count.
  ASSERT_EQ(ShellTestData::Database().Execute("delete from history"), 0);
  Page* page = host.OpenPage(u"http://127.0.0.1:9/a");
  ASSERT_NE(page, nullptr);
  EXPECT_FALSE(page->History().CanGoBack());
  EXPECT_FALSE(page->History().CanGoForward());

  page->SetUrl(u"http://127.0.0.1:9/a", false);
  page->SetUrl(u"http://127.0.0.1:9/a", false);  // the same address adds nothing
  page->SetUrl(u"http://127.0.0.1:9/b", false);
  page->SetUrl(u"http://127.0.0.1:9/c", true);  // a redirect replaces /b
  ASSERT_EQ(page->History().Count(), 2);
  EXPECT_EQ(page->GetDisplayUrl(), u"http://127.0.0.1:9/c");
  EXPECT_EQ(HistoryRows("http://127.0.0.1:9/a"), 1);
  EXPECT_EQ(HistoryRows("http://127.0.0.1:9/c"), 1);

  // The start page is a step of the history but no history row.
  page->SetUrl(kNewPage, false);
  EXPECT_EQ(page->History().Count(), 3);
  EXPECT_EQ(HistoryRows(WideToUtf8(kNewPage)), 0);

  // Back and forward at the ends do nothing; in between they load the real address.
  auto* body = BodyOf(page);
  body->loads.clear();
  page->GoForward();
  EXPECT_TRUE(body->loads.empty());
  page->GoBack();
  page->GoBack();
  EXPECT_EQ(page->History().Index(), 0);
  page->GoBack();
  ASSERT_EQ(body->loads.size(), 2u);
  EXPECT_EQ(body->loads.back(), u"http://127.0.0.1:9/a");

  // Recording after going back drops the forward steps.
  page->SetUrl(u"http://127.0.0.1:9/d", false);
  // A link the engine turned into a download leaves the page where it was.
  page->SetUrl(u"http://127.0.0.1:9/file.zip", false);
  page->WithdrawNavigation(u"http://127.0.0.1:9/file.zip");
  EXPECT_EQ(HistoryRows("http://127.0.0.1:9/file.zip"), 0);
  EXPECT_EQ(page->History().Count(), 2);
  EXPECT_FALSE(page->History().CanGoForward());
  EXPECT_TRUE(host.window.FindControl(QStringLiteral("back_btn"))->IsEnabled());
  EXPECT_EQ(host.window.FindControl(QStringLiteral("address"))->GetText(), QStringLiteral("http://127.0.0.1:9/d"));
}

TEST_F(PagesTest, AStepWhoseHistoryRowCannotBeSavedIsStillShownAndWalked) {
  Page* page = host.OpenPage(u"http://127.0.0.1:9/saved");
  ASSERT_NE(page, nullptr);
  page->SetUrl(u"http://127.0.0.1:9/saved", false);
  UserDatabase& database = ShellTestData::Database();
  ASSERT_EQ(database.Execute("CREATE TEMP TRIGGER refuse_history BEFORE INSERT ON history "
                             "BEGIN SELECT RAISE(FAIL, 'refused'); END;"),
            0);
  page->SetUrl(u"http://127.0.0.1:9/unsaved", false);
  page->SetTitle(u"Unsaved");
  ASSERT_EQ(database.Execute("DROP TRIGGER refuse_history"), 0);
  EXPECT_EQ(HistoryRows("http://127.0.0.1:9/unsaved"), 0);
  EXPECT_EQ(host.window.FindControl(QStringLiteral("address"))->GetText(), QStringLiteral("http://127.0.0.1:9/unsaved"));
  EXPECT_TRUE(host.window.FindControl(QStringLiteral("back_btn"))->IsEnabled());
  auto* body = BodyOf(page);
  body->loads.clear();
  page->Reload();
  page->GoBack();
  EXPECT_EQ(body->reloads, 1);
  EXPECT_EQ(body->loads, std::vector<WString>{u"http://127.0.0.1:9/saved"});
}

TEST_F(PagesTest, NavigateLoadsTheRoutedAddressAndKeepsCompatibilitySitesInTheirOwnEngine) {
  Page* page = host.OpenPage(u"http://127.0.0.1:9/start");
  ASSERT_NE(page, nullptr);
  auto* body = BodyOf(page);
  body->loads.clear();
  for (const char16_t* typed : {u" HTTP://127.0.0.1:9/x ", u"", u"127.0.0.1:9/plain"}) page->Navigate(typed);
  EXPECT_EQ(body->loads, (std::vector<WString>{u"http://127.0.0.1:9/x", kNewPage, u"http://127.0.0.1:9/plain"}));

  // A host classified for the compatibility engine opens a new compatibility tab
  // once the navigation is over; the Chromium page loads nothing.
  ShellTestData::Database().Execute("insert into domain_type (domain, type) values (?, 2)", {"bank.test"});
  body->loads.clear();
  const int before = pages.Count();
  page->Navigate(u"bank.test/login");
  EXPECT_TRUE(body->loads.empty());
  EXPECT_TRUE(host.factory.ieUrls.empty());
  ASSERT_TRUE(QTest::qWaitFor([&] { return !host.factory.ieUrls.empty(); }, 2000));
  EXPECT_EQ(host.factory.ieUrls, std::vector<WString>{u"http://bank.test/login"});
  EXPECT_EQ(pages.Count(), before + 1);
  // A list gone before the event loop came back opens nothing.
  {
    PagesHost other{ShellTestData::Database()};
    other.pages.OpenIeTab(u"http://bank.test/late");
  }
  QTest::qWait(20);
  ShellTestData::Database().Execute("delete from domain_type where domain = ?", {"bank.test"});
}

TEST_F(PagesTest, ClosingSelectsThePreviouslySelectedPageAndTheLastPageResetsToHome) {
  Page* a = host.OpenPage(u"http://127.0.0.1:9/a");
  Page* b = host.OpenPage(u"http://127.0.0.1:9/b");
  Page* c = host.OpenPage(u"http://127.0.0.1:9/c");
  ASSERT_EQ(pages.Count(), 3);
  pages.SelectPage(a);
  pages.SelectPage(c);
  EXPECT_EQ(pages.Current(), c);
  EXPECT_TRUE(c->GetTab()->IsSelected());
  EXPECT_FALSE(a->GetTab()->IsSelected());

  pages.ClosePage(c);
  EXPECT_EQ(pages.Current(), a);  // not the neighbour b
  EXPECT_EQ(pages.IndexOf(c), -1);
  EXPECT_EQ(host.strip->Count(), 2);
  EXPECT_EQ(host.bodyBar->ShownWindow(), a->Body()->GetWindow());

  pages.ClosePage(b);
  a->SetUrl(u"http://127.0.0.1:9/a", false);
  a->SetUrl(u"http://127.0.0.1:9/a2", false);
  auto* body = BodyOf(a);
  pages.ClosePage(a);
  ASSERT_EQ(pages.Count(), 1);
  EXPECT_TRUE(a->History().Empty());
  EXPECT_EQ(body->loads.back(), kHomePage);
  EXPECT_EQ(body->closes, 0);
  EXPECT_FALSE(host.window.FindControl(QStringLiteral("back_btn"))->IsEnabled());
  EXPECT_FALSE(host.window.FindControl(QStringLiteral("forward_btn"))->IsEnabled());
  EXPECT_EQ(host.factory.shutdowns, 0);
}

TEST_F(PagesTest, PageReportsReachOnlyListedPagesAndABackgroundTabStaysBehind) {
  Page* first = host.OpenPage(u"http://127.0.0.1:9/first");
  ASSERT_NE(first, nullptr);
  pages.OpenUrlInBackgroundTab(u"http://127.0.0.1:9/bg");
  host.Drain();
  ASSERT_EQ(pages.Count(), 2);
  EXPECT_EQ(pages.Current(), first);
  EXPECT_TRUE(first->GetTab()->IsSelected());
  EXPECT_FALSE(pages.PageAt(1)->GetTab()->IsSelected());

  // Title, loading and address records for a listed page apply; for a closed one
  // they are dropped, and a page made for a list that is not open is shut down.
  Page* second = pages.PageAt(1);
  PageChannels::kSetTitle.Post(std::make_unique<PageTextRecord>(PageTextRecord{first, u"新标签页"}));
  PageChannels::kTempRedirect.Post(
      std::make_unique<PageRedirectRecord>(PageRedirectRecord{first, u"http://127.0.0.1:9/first", 0}));
  PageChannels::kIsLoading.Post(std::make_unique<PageFlagRecord>(PageFlagRecord{first, 1}));
  pages.ClosePage(second);
  PageChannels::kSetTitle.Post(std::make_unique<PageTextRecord>(PageTextRecord{second, u"gone"}));
  auto stray = std::make_unique<AddPageRecord>();
  stray->page = std::make_unique<Page>(std::make_unique<RecordingBody>(), Page::kEngineChromium);
  Pages closedWindow{host.crashReloads, ShellTestData::Database()};
  stray->into = &closedWindow;
  PageChannels::kAddPage.Post(std::move(stray));
  host.Drain();
  EXPECT_EQ(closedWindow.Count(), 0);
  EXPECT_EQ(pages.Count(), 1);
  EXPECT_EQ(first->GetTitle(), LanguageManager::Instance().GetText(PagesLanguageKeys::kTabNew));
  EXPECT_EQ(first->GetTab()->GetTitle().toStdU16String(), first->GetTitle());
  EXPECT_TRUE(first->IsLoading());
  EXPECT_EQ(first->GetDisplayUrl(), u"http://127.0.0.1:9/first");
  EXPECT_EQ(first->GetIconUrl(), u"http://127.0.0.1:9/favicon.ico");
}

TEST_F(PagesTest, IconsComeOneLatestAddressAtATimeBoundedAndOnlyAsPictures) {
  QByteArray png;
  QBuffer buffer(&png);
  ASSERT_TRUE(buffer.open(QIODevice::WriteOnly) && QImage(16, 16, QImage::Format_ARGB32).save(&buffer, "PNG"));
  const std::string picture = png.toStdString();
  LoopbackHttpServer server([&picture](const ReceivedRequest& request) {
    if (request.target == "/endless.ico") {
      // A picture's first bytes, then more for ever.
      ScriptedReply endless{"HTTP/1.1 200 OK\r\nContent-Type: image/png\r\n\r\n", picture.substr(0, 16)};
      endless.generatedBytes = uint64_t{64} * 1024 * 1024;
      endless.close = true;
      return endless;
    }
    if (request.target == "/page.ico") return LoopbackHttpServer::Ok("<!doctype html><title>Not here</title>");
    return LoopbackHttpServer::Ok(picture, "Content-Type: image/png\r\n");
  });
  const std::string folder = WideToUtf8(SettingsRegistry::Instance().Get(SettingsKeys::kPictureFolder));
  std::filesystem::create_directories(folder);
  const auto shows = [](Page* page, const WString& iconUrl) {
    return page->GetTab()->IconImages().contains(QString::fromStdU16String(PictureCache::CachePath(iconUrl)));
  };
  const auto cached = [](const WString& iconUrl) {
    return std::filesystem::exists(WideToUtf8(PictureCache::CachePath(iconUrl)));
  };
  Page* page = host.OpenPage(u"http://127.0.0.1:9/busy");
  Page* other = host.OpenPage(u"http://127.0.0.1:9/other");
  ASSERT_NE(page, nullptr);
  ASSERT_NE(other, nullptr);

  // A page that rewrites its icon link a thousand times: the address being fetched
  // is given up for the latest, so a few are asked for while it rewrites, not one
  // for every rewrite; the latest is shown.
  WString latest;
  for (int i = 0; i < 1000; ++i) page->SetIconUrl(latest = server.WideUrl("/busy-" + std::to_string(i) + ".ico"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return shows(page, latest); }, 10000));
  EXPECT_LT(server.Requests().size(), 100u);

  // A never-ending icon is given up at the size bound; the icon asked for after it
  // still comes.
  const WString endless = server.WideUrl("/endless.ico");
  const WString after = server.WideUrl("/after.ico");
  other->SetIconUrl(endless);
  page->SetIconUrl(after);
  ASSERT_TRUE(QTest::qWaitFor([&] { return shows(page, after); }, 15000));

  // A page answered for an icon's address is no picture: not kept either.
  const WString notPicture = server.WideUrl("/page.ico");
  other->SetIconUrl(notPicture);
  const WString last = server.WideUrl("/last.ico");
  page->SetIconUrl(last);
  ASSERT_TRUE(QTest::qWaitFor([&] { return shows(page, last); }, 10000));
  EXPECT_FALSE(cached(notPicture));
  // Neither is kept, nor anything of them (the endless one had time to go on).
  QTest::qWait(1000);
  EXPECT_FALSE(cached(endless));
  for (const auto& file : std::filesystem::directory_iterator(folder)) {
    EXPECT_LE(file.file_size(), 4096u) << file.path();
  }
  EXPECT_EQ(other->GetTab()->IconImages(), Tab::kDefaultIconImages);
}

TEST_F(PagesTest, PinnedTabsStayInFrontWhenMovedPinnedAndDragged) {
  for (int i = 0; i < 4; ++i) host.OpenPage(Utf8ToWide("http://127.0.0.1:9/" + std::to_string(i)));
  ASSERT_EQ(pages.Count(), 4);
  Page* p1 = pages.PageAt(1);
  Page* p2 = pages.PageAt(2);
  Page* p3 = pages.PageAt(3);
  pages.PinPage(p2, true);  // goes in front, behind no other pinned tab
  EXPECT_EQ(pages.IndexOf(p2), 0);
  EXPECT_EQ(host.strip->IndexOf(p2->GetTab()), 0);
  EXPECT_FALSE(p2->GetTab()->CloseButton()->IsVisible());
  EXPECT_EQ(p2->GetTab()->GetFixedWidth(), 26);
  pages.PinPage(p3, true);
  EXPECT_EQ(pages.IndexOf(p3), 1);

  // An unpinned tab moved (or dropped) to the front lands right after the pinned ones.
  pages.MovePage(3, 0);
  EXPECT_EQ(pages.IndexOf(p1), 2);
  for (int i = 0; i < pages.Count(); ++i) EXPECT_EQ(host.strip->TabAt(i), pages.PageAt(i)->GetTab());

  // Unpinning makes the tab the first unpinned one.
  pages.PinPage(p2, false);
  EXPECT_EQ(pages.IndexOf(p2), 1);
  EXPECT_TRUE(p2->GetTab()->CloseButton()->IsVisible());
  EXPECT_EQ(p2->GetTab()->GetFixedWidth(), 0);
  pages.PinPage(p2, false);  // no change
  EXPECT_EQ(pages.IndexOf(p2), 1);
}

TEST_F(PagesTest, BodyBarShowsOneBodyAndALateWindowWhenItArrives) {
  Page* a = host.OpenPage(u"http://127.0.0.1:9/a");
  Page* b = host.OpenPage(u"http://127.0.0.1:9/b");
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(host.bodyBar->ShownWindow(), b->Body()->GetWindow());
  EXPECT_TRUE(b->Body()->GetWindow()->isVisible());
  EXPECT_EQ(b->Body()->GetWindow()->size(), host.bodyBar->GetWidget()->size());
  pages.SelectPage(a);
  EXPECT_FALSE(b->Body()->GetWindow()->isVisible());
  EXPECT_TRUE(a->Body()->GetWindow()->isVisible());

  // A body whose window comes later is pending until the engine announces it. Of
  // pages added in one go only the last is drawn: a drawn view keeps the engine's
  // frame buffers as long as it lives.
  auto between = std::make_unique<RecordingBody>();
  QWidget* betweenWindow = between->MakeWindow(host.bodyBar->GetWidget());
  pages.AddPage(std::make_unique<Page>(std::move(between), Page::kEngineChromium));
  auto late = std::make_unique<RecordingBody>();
  RecordingBody* lateBody = late.get();
  pages.AddPage(std::make_unique<Page>(std::move(late), Page::kEngineChromium));
  ASSERT_TRUE(QTest::qWaitFor([&] { return host.bodyBar->PendingBody() == lateBody; }, 2000));
  EXPECT_FALSE(betweenWindow->isVisible());
  // Engines make their windows inside the body bar.
  QWidget* window = lateBody->MakeWindow(host.bodyBar->GetWidget());
  DuiLib::PostMessage(host.bodyBar->GetHWND(), PagesMessages::kAddCefBody, reinterpret_cast<DuiLib::WPARAM>(window),
                      reinterpret_cast<DuiLib::LPARAM>(lateBody));
  QTest::qWait(20);
  EXPECT_EQ(host.bodyBar->ShownWindow(), window);
  EXPECT_EQ(host.bodyBar->PendingBody(), nullptr);
  EXPECT_EQ(window->parentWidget(), host.bodyBar->GetWidget());

  // Resizing the bar resizes every body window.
  host.window.ResizeClient(1000, 600);
  QTest::qWait(50);
  for (QWidget* body : host.bodyBar->Windows()) EXPECT_EQ(body->size(), host.bodyBar->GetWidget()->size());
  SaveScreenshot(host.window, QStringLiteral("pages_host"));
}

TEST_F(PagesTest, BodyWindowGoneBeforeItsAnnouncementArrivesIsIgnored) {
  Page* shown = host.OpenPage(u"http://127.0.0.1:9/shown");
  ASSERT_NE(shown, nullptr);
  QWidget* shownWindow = host.bodyBar->ShownWindow();

  // A page whose engine window was announced but which closes at once, before the
  // body bar has seen the announcement: the queued messages must not touch the
  // window that went with it.
  auto body = std::make_unique<RecordingBody>();
  RecordingBody* rawBody = body.get();
  QWidget* window = rawBody->MakeWindow(host.bodyBar->GetWidget());
  pages.AddPage(std::make_unique<Page>(std::move(body), Page::kEngineChromium));
  pages.SelectPage(shown);
  for (DuiLib::UINT message : {PagesMessages::kAddCefBody, PagesMessages::kAddIeBody}) {
    DuiLib::PostMessage(host.bodyBar->GetHWND(), message, reinterpret_cast<DuiLib::WPARAM>(window),
                        reinterpret_cast<DuiLib::LPARAM>(static_cast<ITabBody*>(rawBody)));
  }
  pages.ClosePage(pages.PageAt(-1));
  QTest::qWait(20);

  EXPECT_EQ(host.bodyBar->ShownWindow(), shownWindow);
  EXPECT_TRUE(shownWindow->isVisible());
  EXPECT_EQ(host.bodyBar->PendingBody(), nullptr);
  for (QWidget* listed : host.bodyBar->Windows()) EXPECT_NE(reinterpret_cast<void*>(listed), static_cast<void*>(window));

  // A window that is still there when its announcement arrives is taken in as before.
  auto late = std::make_unique<RecordingBody>();
  QWidget* lateWindow = late->MakeWindow(host.bodyBar->GetWidget());
  Page* latePage = pages.AddPage(std::make_unique<Page>(std::move(late), Page::kEngineChromium));
  DuiLib::PostMessage(host.bodyBar->GetHWND(), PagesMessages::kAddCefBody, reinterpret_cast<DuiLib::WPARAM>(lateWindow),
                      reinterpret_cast<DuiLib::LPARAM>(latePage->Body()));
  QTest::qWait(20);
  const auto listed = host.bodyBar->Windows();
  EXPECT_NE(std::find(listed.begin(), listed.end(), lateWindow), listed.end());
}

// One protected site: its own address and the mirror it is loaded from.
class ProtectedSiteTest : public PagesTest {
 protected:
  void SetUp() override {
    // Source address and domain, target address and domain, stored encrypted.
    std::vector<std::string> cells;
    for (const char* plain : {"http://site.test/", "site.test", "https://mirror.test/", "mirror.test"}) {
      ASSERT_EQ(PayloadCipher().EncryptText(plain, cells.emplace_back()), 0);
    }
    ASSERT_EQ(ShellTestData::Database().Execute(
                  "insert into domainlist (id, source_url, source_domain, target_url, target_domain, target_status) "
                  "values ('site', ?, ?, ?, ?, '1')",
                  {cells[0], cells[1], cells[2], cells[3]}),
              0);
  }
  void TearDown() override { ShellTestData::Database().Execute("delete from domainlist where id = 'site'"); }

  // A compatibility page, the engine protected sites are shown in.
  Page* CompatibilityPage() {
    auto body = std::make_unique<RecordingBody>();
    body->MakeWindow();
    body->SetReady(true);
    return pages.CreateIePage(std::move(body));
  }
};

TEST_F(ProtectedSiteTest, AddressesOfTheSiteKeepTheirPathOnTheMirrorAndAPageArrivingThereKnowsItsSite) {
  Page* page = CompatibilityPage();
  ASSERT_NE(page, nullptr);
  // The first visit goes where the site list says: the mirror's own address.
  page->Navigate(u"http://site.test/news/1");
  EXPECT_EQ(BodyOf(page)->loads.back(), u"https://mirror.test/");
  EXPECT_TRUE(page->SiteMapping().mapped);
  EXPECT_EQ(page->SiteMapping().source, u"http://site.test");
  EXPECT_EQ(page->SiteMapping().target, u"https://mirror.test");

  // On the site, addresses keep their path and query on the mirror; another origin
  // is not the site, even on the same host.
  for (const auto& [typed, loaded] : {std::pair{u"http://site.test/sports?id=3", u"https://mirror.test/sports?id=3"},
                                      {u"site.test/a/b", u"https://mirror.test/a/b"},
                                      {u"https://site.test/secure", u"https://mirror.test/"}}) {
    page->Navigate(typed);
    EXPECT_EQ(BodyOf(page)->loads.back(), loaded) << WideToUtf8(typed);
  }

  // Leaving for an ordinary site leaves the protected site behind.
  page->Navigate(u"http://127.0.0.1:9/plain");
  EXPECT_EQ(BodyOf(page)->loads.back(), u"http://127.0.0.1:9/plain");
  EXPECT_FALSE(page->SiteMapping().mapped);
  page->Navigate(u"http://site.test/sports");
  EXPECT_EQ(BodyOf(page)->loads.back(), u"https://mirror.test/");

  // A page that arrives on the mirror (a link followed inside it) knows its site,
  // until an ordinary address is recorded.
  Page* arrived = CompatibilityPage();
  arrived->SetUrl(u"https://mirror.test/deep/page", false);
  EXPECT_EQ(arrived->GetDisplayUrl(), u"http://site.test/");
  ASSERT_TRUE(arrived->SiteMapping().mapped);
  arrived->Navigate(u"http://site.test/other/page");
  EXPECT_EQ(BodyOf(arrived)->loads.back(), u"https://mirror.test/other/page");
  arrived->SetUrl(u"http://127.0.0.1:9/elsewhere", false);
  EXPECT_FALSE(arrived->SiteMapping().mapped);
}

TEST_F(ProtectedSiteTest, ToolbarFollowersHearOnlyTheSelectedPageAsItComesAndGoesFromTheSite) {
  std::vector<std::pair<const Page*, bool>> heard;  // page, on the protected site
  pages.GetTabWnd().AddPageFollower([&](const Page& page) { heard.emplace_back(&page, page.SiteMapping().mapped); });
  Page* site = CompatibilityPage();
  site->SetUrl(u"https://mirror.test/deep/page", false);
  ASSERT_FALSE(heard.empty());
  EXPECT_EQ(heard.back(), std::make_pair(static_cast<const Page*>(site), true));
  Page* plain = host.OpenPage(u"http://127.0.0.1:9/plain");
  EXPECT_EQ(heard.back(), std::make_pair(static_cast<const Page*>(plain), false));
  pages.SelectPage(site);
  EXPECT_EQ(heard.back(), std::make_pair(static_cast<const Page*>(site), true));

  heard.clear();
  plain->SetUrl(u"http://127.0.0.1:9/elsewhere", false);  // a page in the background
  EXPECT_TRUE(heard.empty());
  pages.GetTabWnd().Detach();  // the window's controls go: so do the followers
  pages.SelectPage(plain);
  EXPECT_TRUE(heard.empty());
}

}  // namespace
}  // namespace tarvo::test
