// The Chromium client's context menu with a real engine: where a feature's entry goes
// and what each of the client's commands does on a link, a picture and a field.
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QImage>
#include <QMenu>
#include <QMimeData>

#include "engines/webengine/cef_browser.h"
#include "engines/webengine/cef_context_menu_params.h"
#include "engines/webengine/cef_download_handler.h"
#include "engines/webengine/cef_download_item.h"
#include "engines/webengine/cef_frame.h"
#include "engines/webengine/cef_types.h"
#include "engines/cef/tab_cef_body.h"
#include "engines/cef/web_client.h"
#include "bus/bus_channels.h"
#include "shell/pages/bodies_fixture.h"
#include "shell/pages/page.h"
#include "shell/pages/pages.h"

namespace tarvo::test {
namespace {

using namespace cef;

// Where the test's own menu entry posts the link.
constexpr BusChannels::UrlChannel kFeatureEntryChannel{u"test/menu_entry"};

// Spots of the test page, top to bottom.
constexpr QPoint kLinkSpot(40, 20);
constexpr QPoint kPictureSpot(20, 60);
constexpr QPoint kFieldSpot(40, 95);

// Remembers the downloads the client hands on, and declines them.
class RecordingDownloads : public CefDownloadHandler {
 public:
  void OnBeforeDownload(CefRefPtr<CefBrowser>, CefRefPtr<CefDownloadItem> item, const CefString&,
                        CefRefPtr<CefBeforeDownloadCallback>) override {
    urls.push_back(item->GetURL());
  }
  void OnDownloadUpdated(CefRefPtr<CefBrowser>, CefRefPtr<CefDownloadItem>,
                         CefRefPtr<CefDownloadItemCallback>) override {}
  std::vector<CefString> urls;
};

class ClientMenuTest : public BodiesTest {
 protected:
  void SetUp() override {
    BodiesTest::SetUp();
    QImage picture(37, 23, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    QBuffer png;
    png.open(QIODevice::WriteOnly);
    picture.save(&png, "PNG");
    TestHttpServer::Response image;
    image.content_type = "image/png";
    image.body = png.data();
    image.headers.append(qMakePair(QByteArray("Cache-Control"), QByteArray("max-age=3600")));
    server_.Route("/pic.png", image);
    server_.Route("/target", Html("<html><head><title>Target</title></head><body>target</body></html>"));
    server_.Route("/menu", Html("<html><body style=\"margin:0;font:16px sans-serif\">"
                                "<a href=\"/target\" style=\"display:block;width:300px;height:40px\">link</a>"
                                "<img src=\"/pic.png\" style=\"display:block;width:100px;height:40px\">"
                                "<input id=\"field\" value=\"typed text\" "
                                "style=\"display:block;width:300px;height:30px;margin:0\">"
                                "<p id=\"words\" style=\"margin:0;height:30px\">plain words</p>"
                                "<div style=\"height:400px\"></div></body></html>"));
    page_ = OpenChromium("/menu");
    ASSERT_NE(page_, nullptr);
    input_ = InputTarget(page_);
    ASSERT_NE(input_, nullptr);
    ClientInstance()->SetDownloadDelegate(&downloads_);
    // An entry as the favourites add it.
    ClientInstance()->AddMenuEntry({u"cefmenu/add_favor", ContextMenuEntry::Target::kLink, [](const WString& link) {
                                      BusChannels::PostUrl(kFeatureEntryChannel, link);
                                    }});
  }
  void TearDown() override {
    ClientInstance()->SetDownloadDelegate(nullptr);
    BodiesTest::TearDown();
  }

  // Right-clicks the spot and returns the menu shown, or nullptr.
  QMenu* RightClick(QPoint spot) {
    QTest::mouseClick(input_, Qt::RightButton, Qt::NoModifier, spot);
    Pump([] { return qobject_cast<QMenu*>(QApplication::activePopupWidget()) != nullptr; }, 5000);
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
  }
  // Right-clicks the spot, runs the item's command and closes the menu; false when
  // no menu showed.
  bool ChooseAt(QPoint spot, int command) {
    QMenu* menu = RightClick(spot);
    if (menu == nullptr) return false;
    for (QAction* action : menu->actions()) {
      if (!action->isSeparator() && action->data().toInt() == command) action->trigger();
    }
    menu->close();
    return true;
  }
  // The texts posted on a bus channel the page list does not drain.
  static std::vector<WString> Posted(const BusChannels::UrlChannel& channel) {
    std::vector<WString> texts;
    while (const auto text = channel.Take()) texts.emplace_back(text->View());
    return texts;
  }

  Page* page_ = nullptr;
  QWidget* input_ = nullptr;
  RecordingDownloads downloads_;
};

TEST_F(ClientMenuTest, LinkPictureAndFieldCommandsDoTheirWorkAndTheEnginesOwnAreLeftToIt) {
  const WString link = Wide(server_.Url("/target"));
  const std::pair<int, const BusChannels::UrlChannel*> posts[] = {{26506, &BusChannels::kClipboardCopyUrl},
                                                                  {26600, &kFeatureEntryChannel},
                                                                  {26502, &BusChannels::kWindowOpenUrl},
                                                                  {26503, &BusChannels::kPrivateWindowOpenUrl}};
  for (const auto& [command, channel] : posts) {
    ASSERT_TRUE(ChooseAt(kLinkSpot, command)) << command;
    EXPECT_EQ(Posted(*channel), std::vector<WString>{link}) << command;
  }

  // Open in a new tab: the page list opens it, the engine's new page joins behind
  // the current one.
  events_.clear();
  ASSERT_TRUE(ChooseAt(kLinkSpot, 26501));
  ASSERT_TRUE(Pump([&] { return host_->pages.Count() == 2 && server_.CountFor("/target") > 0; }));
  ASSERT_EQ(AddedPages().size(), 1u);
  Page* opened = AddedPages()[0];
  EXPECT_EQ(host_->pages.IndexOf(opened), 1);
  EXPECT_EQ(host_->pages.Current(), page_);
  ASSERT_TRUE(Pump([&] { return opened->GetLoadedUrl() == link; }));
  // The page it came from stayed where it was.
  EXPECT_EQ(page_->GetLoadedUrl(), Wide(server_.Url("/menu")));

  // The picture: its address copied, downloaded, the picture itself copied.
  const WString picture = Wide(server_.Url("/pic.png"));
  ASSERT_TRUE(ChooseAt(kPictureSpot, 26508));
  EXPECT_EQ(Posted(BusChannels::kClipboardCopyUrl), std::vector<WString>{picture});
  ASSERT_TRUE(ChooseAt(kPictureSpot, 26507));
  ASSERT_TRUE(Pump([&] { return !downloads_.urls.empty(); }, 10000));
  EXPECT_EQ(downloads_.urls.back(), picture);

  // Copy picture selects the picture in the page and copies it.
  QApplication::clipboard()->clear();
  ASSERT_TRUE(ChooseAt(kPictureSpot, 26509));
  ASSERT_TRUE(Pump([] {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    return data != nullptr && data->html().contains(QLatin1String("pic.png"));
  }, 5000));

  // Select all and copy in the field go to the engine and reach the clipboard.
  QApplication::clipboard()->clear();
  ASSERT_TRUE(ChooseAt(kFieldSpot, 116));
  Settle(200);
  ASSERT_TRUE(ChooseAt(kFieldSpot, 113));
  ASSERT_TRUE(Pump([] { return QApplication::clipboard()->text() == QLatin1String("typed text"); }, 5000));

  // Back, forward and reload are not the client's: it declines them (the engine
  // runs them), and so paste-and-search.
  auto browser = CefBody(page_)->GetBrowser();
  auto params = std::make_shared<CefContextMenuParams>(CefContextMenuParams::Data{});
  for (int command : {int{MENU_ID_BACK}, int{MENU_ID_FORWARD}, int{MENU_ID_RELOAD}, 26511}) {
    EXPECT_FALSE(ClientInstance()->OnContextMenuCommand(browser, browser->GetMainFrame(), params, command, 0))
        << command;
  }
}

}  // namespace
}  // namespace tarvo::test
