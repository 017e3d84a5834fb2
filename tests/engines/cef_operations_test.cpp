// Browser, host and frame operations of the Chromium layer, and the context menu.
#include <QApplication>
#include <QFile>
#include <QMenu>

#include "engines/webengine/cef_cookie_manager.h"
#include "engines/webengine/cef_pdf_print_callback.h"
#include "engines/webengine/cef_request_context.h"
#include "engines/webengine/cef_string_visitor.h"
#include "engines/webengine/engine_page.h"
#include "engines/webengine/engine_view.h"
#include "engines/cef_fixture.h"
#include "support/temp_dir.h"

namespace tarvo::test {
namespace {

using CefOperationsTest = CefFixture;

class TextCollector : public CefStringVisitor {
 public:
  void Visit(const CefString& text) override { texts.push_back(text); }
  std::vector<CefString> texts;
};

class PdfOutcome : public CefPdfPrintCallback {
 public:
  void OnPdfPrintFinished(const CefString& path, bool ok) override { results.emplace_back(path, ok); }
  std::vector<std::pair<CefString, bool>> results;
};

TEST_F(CefOperationsTest, ZoomLevelsAreKeptAndClampedToWhatTheEngineShows) {
  CefRefPtr<CefBrowser> browser = Open(server_.Url("/basic.html"));
  ASSERT_NE(browser, nullptr);
  CefRefPtr<CefBrowserHost> host = browser->GetHost();
  EXPECT_DOUBLE_EQ(host->GetZoomLevel(), 0.0);

  host->SetZoomLevel(1.0);
  EXPECT_DOUBLE_EQ(host->GetZoomLevel(), 1.0);
  EXPECT_NEAR(browser->page()->zoomFactor(), 1.2, 1e-9);
  host->SetZoomLevel(9.0);
  EXPECT_DOUBLE_EQ(host->GetZoomLevel(), 9.0) << "the level is kept even past what the engine shows";
  EXPECT_NEAR(browser->page()->zoomFactor(), 5.0, 1e-9);
  host->SetZoomLevel(-8.0);
  EXPECT_NEAR(browser->page()->zoomFactor(), 0.25, 1e-9);
  host->SetZoomLevel(std::numeric_limits<double>::quiet_NaN());
  EXPECT_DOUBLE_EQ(host->GetZoomLevel(), -8.0);

  // The level survives a new page.
  host->SetZoomLevel(2.0);
  const size_t mark = client_->loading.size();
  browser->GetMainFrame()->LoadURL(server_.Url("/child.html").toStdU16String());
  ASSERT_TRUE(WaitForLoad(browser, mark));
  EXPECT_NEAR(browser->page()->zoomFactor(), 1.44, 1e-9);
}

TEST_F(CefOperationsTest, CookiesDeletedThroughTheEngineAreNotSentAgain) {
  TestHttpServer::Response set;
  set.body = "<html><body>set</body></html>";
  set.headers.append(qMakePair(QByteArray("Set-Cookie"), QByteArray("kept=1; Max-Age=86400; Path=/")));
  server_.Route("/set-cookie.html", set);
  auto browser = Open(server_.Url("/set-cookie.html"));
  ASSERT_NE(browser, nullptr);
  auto load = [&](const char* path) {
    const size_t from = client_->loading.size();
    browser->GetMainFrame()->LoadURL(server_.Url(QString::fromLatin1(path)).toStdU16String());
    return WaitForLoad(browser, from);
  };
  ASSERT_TRUE(load("/child.html"));
  EXPECT_EQ(server_.LastHeader("/child.html", "Cookie"), "kept=1");

  auto cookies = CefCookieManager::GetGlobalManager();
  ASSERT_NE(cookies, nullptr);
  EXPECT_FALSE(cookies->DeleteCookies(u"http://127.0.0.1/", u"")) << "this engine deletes all or nothing";
  ASSERT_TRUE(cookies->DeleteCookies(u"", u""));
  // The store forgets at once; a page loaded right after sends nothing.
  ASSERT_TRUE(load("/basic.html"));
  EXPECT_TRUE(server_.LastHeader("/basic.html", "Cookie").isEmpty());
  EXPECT_TRUE(CefRequestContext::GetGlobalContext()->ClearHttpCache());
  EXPECT_TRUE(CefRequestContext::GetGlobalContext()->ClearVisitedLinks());
}

TEST_F(CefOperationsTest, FindSearchesForwardAndBackward) {
  CefRefPtr<CefBrowser> browser = Open(server_.Url("/basic.html"));
  ASSERT_NE(browser, nullptr);
  CefRefPtr<CefBrowserHost> host = browser->GetHost();
  auto next_result = [&](size_t count) {
    EXPECT_TRUE(WaitFor([&] { return client_->find_results.size() >= count; }));
    return client_->find_results.size() >= count ? client_->find_results[count - 1] : RecordingClient::FindResult{};
  };

  host->Find(7, u"apple", true, true, false);
  auto first = next_result(1);
  EXPECT_EQ(first.identifier, 7);
  EXPECT_EQ(first.count, 3) << "matching case leaves out \"Apple\"";
  EXPECT_EQ(first.active, 1);
  host->Find(7, u"apple", true, true, true);
  EXPECT_EQ(next_result(2).active, 2);
  host->Find(7, u"apple", true, true, true);
  EXPECT_EQ(next_result(3).active, 3);
  host->Find(7, u"apple", false, true, true);
  EXPECT_EQ(next_result(4).active, 2);
  host->Find(7, u"apple", false, false, true);
  EXPECT_EQ(next_result(5).count, 4) << "ignoring case finds \"Apple\" too";
  host->Find(7, u"", true, true, false);
  QTest::qWait(200);
  EXPECT_EQ(client_->find_results.size(), 5U) << "an empty search does nothing";
}

TEST_F(CefOperationsTest, PrintsAPdfOfTheCustomPageSize) {
  CefRefPtr<CefBrowser> browser = Open(server_.Url("/basic.html"));
  ASSERT_NE(browser, nullptr);
  TempDir folder;
  const QString path = QString::fromStdString((folder.path() / "page.pdf").string());
  CefPdfPrintSettings settings;
  settings.page_width = 330000;
  settings.page_height = 2000000;
  settings.margin_type = PDF_PRINT_MARGIN_NONE;
  settings.backgrounds_enabled = true;
  auto outcome = std::make_shared<PdfOutcome>();
  browser->GetHost()->PrintToPDF(path.toStdU16String(), settings, outcome);
  ASSERT_TRUE(WaitFor([&] { return !outcome->results.empty(); }, 60000));
  ASSERT_TRUE(outcome->results.front().second);

  QFile pdf(path);
  ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
  const QByteArray content = pdf.readAll();
  ASSERT_TRUE(content.startsWith("%PDF"));
  const int box = content.indexOf("/MediaBox");
  ASSERT_GE(box, 0);
  const int open = content.indexOf('[', box);
  const int close = content.indexOf(']', open);
  const QList<QByteArray> numbers = content.mid(open + 1, close - open - 1).simplified().split(' ');
  ASSERT_EQ(numbers.size(), 4);
  // 330 mm by 2 m in points (1/72 inch).
  EXPECT_NEAR(numbers[2].toDouble(), 330 / 25.4 * 72, 1.0);
  EXPECT_NEAR(numbers[3].toDouble(), 2000 / 25.4 * 72, 1.0);
}

TEST_F(CefOperationsTest, SourceAndScriptsRunInTheMainFrame) {
  CefRefPtr<CefBrowser> browser = Open(server_.Url("/frames.html"));
  ASSERT_NE(browser, nullptr);
  auto collector = std::make_shared<TextCollector>();
  ASSERT_TRUE(browser->GetMainFrame()->GetSource(collector));
  ASSERT_TRUE(WaitFor([&] { return !collector->texts.empty(); }));
  EXPECT_NE(collector->texts.front().find(u"<iframe src=\"/child.html\""), CefString::npos);

  ASSERT_TRUE(browser->GetMainFrame()->ExecuteJavaScript(u"document.title = 'Scripted ' + (6 * 7);",
                                                           u"about:blank", 0));
  ASSERT_TRUE(WaitFor([&] { return !client_->titles.empty() && client_->titles.back() == u"Scripted 42"; }));

  // Sub-frames are named by the navigation callbacks but cannot be driven here.
  const auto sub = std::find_if(client_->navigations.begin(), client_->navigations.end(),
                                [](const auto& n) { return !n.main_frame; });
  ASSERT_NE(sub, client_->navigations.end());
  CefFrame frame(browser, false, sub->url);
  EXPECT_EQ(frame.GetURL(), sub->url);
  EXPECT_FALSE(frame.ExecuteJavaScript(u"1", u"", 0));
  EXPECT_FALSE(frame.GetSource(collector));
}

class CefContextMenuTest : public CefFixture {
 protected:
  // Right-clicks the page at pos and returns the menu the layer shows, or nullptr.
  QMenu* RightClick(const CefRefPtr<CefBrowser>& browser, QPoint pos) {
    QWidget* view = browser->GetHost()->GetWindowHandle();
    QWidget* input = view->focusProxy() != nullptr ? view->focusProxy() : view;
    const size_t before = client_->menus.size();
    QTest::mouseClick(input, Qt::RightButton, Qt::NoModifier, pos);
    if (!WaitFor([&] { return client_->menus.size() > before; })) {
      return nullptr;
    }
    WaitFor([] { return qobject_cast<QMenu*>(QApplication::activePopupWidget()) != nullptr; }, 3000);
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
  }
  static QAction* ActionFor(QMenu* menu, int command) {
    for (QAction* action : menu->actions()) {
      if (!action->isSeparator() && action->data().toInt() == command) {
        return action;
      }
    }
    return nullptr;
  }
};

TEST_F(CefContextMenuTest, ParametersDescribeLinkImageFieldAndSelection) {
  CefRefPtr<CefBrowser> browser = Open(server_.Url("/menu.html"));
  ASSERT_NE(browser, nullptr);

  QMenu* menu = RightClick(browser, QPoint(30, 25));
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(menu->objectName(), EngineView::kMenuObjectName);
  const auto& link = client_->menus.back();
  EXPECT_TRUE(link.type_flags & CM_TYPEFLAG_LINK);
  EXPECT_FALSE(link.type_flags & CM_TYPEFLAG_EDITABLE);
  EXPECT_EQ(QString::fromStdU16String(link.link_url), server_.Url("/child.html"));
  // The client's model is what shows: its items, its enabled states, its separator.
  ASSERT_EQ(menu->actions().size(), 3);
  EXPECT_TRUE(menu->actions()[1]->isSeparator());
  ASSERT_NE(ActionFor(menu, 26501), nullptr);
  EXPECT_TRUE(ActionFor(menu, 26501)->isEnabled());
  client_->handled_command = 26501;
  ActionFor(menu, 26501)->trigger();
  menu->close();
  EXPECT_EQ(client_->menu_commands, std::vector<int>{26501});

  menu = RightClick(browser, QPoint(30, 75));
  ASSERT_NE(menu, nullptr);
  const auto& image = client_->menus.back();
  EXPECT_TRUE(image.type_flags & CM_TYPEFLAG_MEDIA);
  EXPECT_EQ(image.media_type, CM_MEDIATYPE_IMAGE);
  EXPECT_TRUE(image.has_image_contents);
  EXPECT_EQ(QString::fromStdU16String(image.source_url), server_.Url("/pixel.png"));
  EXPECT_FALSE(ActionFor(menu, 26501)->isEnabled());
  // A command the client leaves alone is the engine's: reload loads the page again.
  const int loads = server_.CountFor("/menu.html");
  ActionFor(menu, MENU_ID_RELOAD)->trigger();
  menu->close();
  ASSERT_TRUE(WaitFor([&] { return server_.CountFor("/menu.html") > loads; }));
  ASSERT_TRUE(WaitForLoad(browser, client_->loading.size() - 1));
  QTest::qWait(300);

  menu = RightClick(browser, QPoint(30, 125));
  ASSERT_NE(menu, nullptr);
  EXPECT_TRUE(client_->menus.back().type_flags & CM_TYPEFLAG_EDITABLE);
  menu->close();

  ASSERT_EQ(Evaluate(browser,
                     "document.activeElement.blur();"
                     "window.getSelection().selectAllChildren(document.getElementById('words'));"
                     "window.getSelection().toString()"),
            "selectable words here");
  menu = RightClick(browser, QPoint(40, 186));
  ASSERT_NE(menu, nullptr);
  const auto& selection = client_->menus.back();
  EXPECT_TRUE(selection.type_flags & CM_TYPEFLAG_SELECTION);
  EXPECT_EQ(selection.selection_text, u"selectable words here");
  menu->close();
}

}  // namespace
}  // namespace tarvo::test
