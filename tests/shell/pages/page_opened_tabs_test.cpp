// A tab that a page opened on an empty window is a tab like any other: an address
// typed for it loads, and the opener's close() closes it, as it does the windows a
// script opened in any browser. In both engines.
#include <QTest>

#include "shell/pages/bodies_fixture.h"
#include "shell/pages/page.h"
#include "shell/pages/page_channels.h"

namespace tarvo::test {
namespace {

class PageOpenedTabTest : public BodiesTest, public ::testing::WithParamInterface<bool> {
 protected:
  bool Chromium() const { return GetParam(); }
};

TEST_P(PageOpenedTabTest, LoadsTypedAddressesAndItsOpenerClosesIt) {
  constexpr char kOpen[] = "window.w = window.open('about:blank', '_blank', 'width=10,height=10')";
  server_.Route("/opener", Html(QByteArray("<html><head><title>Opener</title></head><body style=\"margin:0\">"
                                           "<button style=\"width:300px;height:300px\" onclick=\"") +
                                kOpen + "\">open</button></body></html>"));
  server_.Route("/typed", Html("<html><head><title>Typed</title></head><body>typed</body></html>"));
  // As the main window's poller does.
  poller_.On(PageChannels::kClosedByPage, [this](auto record) {
    if (host_->pages.IndexOf(record->page) >= 0) host_->pages.ClosePage(record->page);
  });
  Page* opener = Chromium() ? OpenChromium("/opener") : OpenCompat("/opener");
  ASSERT_NE(opener, nullptr);
  if (Chromium()) {
    // The Chromium engine opens scripted windows only on a user's gesture.
    QWidget* target = InputTarget(opener);
    ASSERT_NE(target, nullptr);
    ClickAsAUser(target, QPoint(60, 60));
  } else {
    Evaluate(opener, QString::fromLatin1(kOpen) + QStringLiteral(", 1"));
  }
  ASSERT_TRUE(Pump([&] { return host_->pages.Count() == 2; })) << "no tab for the window";
  Page* opened = host_->pages.PageAt(1);

  opened->Navigate(Wide(server_.Url("/typed")));
  EXPECT_TRUE(Pump([&] { return server_.CountFor("/typed") == 1 && opened->GetTitle() == u"Typed"; }))
      << "a typed address did not load";

  EXPECT_EQ(Evaluate(opener, QStringLiteral("typeof window.w")), "object");
  Evaluate(opener, QStringLiteral("window.w.close()"));
  EXPECT_TRUE(Pump([&] { return host_->pages.Count() == 1; })) << "the opener's close() left the tab";
  EXPECT_EQ(host_->pages.PageAt(0), opener);
}

INSTANTIATE_TEST_SUITE_P(Engines, PageOpenedTabTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return info.param ? "Chromium" : "Compatibility";
                         });

}  // namespace
}  // namespace tarvo::test
