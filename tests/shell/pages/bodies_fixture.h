#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>
#include <QTest>
#include <memory>
#include <vector>

#include "engines/ie/tab_ie_body.h"
#include "engines/test_http_server.h"
#include "bus/bus_poller.h"
#include "shell/pages/i_page_body_factory.h"
#include "shell/pages/pages_host.h"
#include "shell/pages/shell_test_data.h"
#include "ui/window_wnd.h"

namespace tarvo {
class CertificatePolicy;
class Page;
class TabCefBody;
namespace ie {
class CompatEngineLoader;
class LazyCompatProfile;
}
}  // namespace tarvo

namespace tarvo::test {

// Opens pages in the real engines, as start-up wires the page list to them.
class EngineBodyFactory : public IPageBodyFactory {
 public:
  void OpenChromiumPage(const WString& url) override;
  bool OpenIePage(const WString& url) override;
  bool MakeBodyFor(Page& page) override;
  // The fixture points the engines at its own windows.
  void Attach(const PageHost&) override {}
  void Detach() override {}
  // The engine stays up for the whole program; its main shuts it down.
  void ShutdownEngines() override {}

  TabIeBody::Environment ieEnvironment;
};

// Stands for the main window: records every message the engines post to it, with
// its parameters.
class MessageRecorder : public DuiLib::CWindowWnd {
 public:
  struct Message {
    DuiLib::UINT msg = 0;
    DuiLib::WPARAM wParam = 0;
    DuiLib::LPARAM lParam = 0;
  };

  // WM_COMMAND messages with this command number in the low word.
  int CommandCount(unsigned command) const;
  int Count(DuiLib::UINT msg) const;

  std::vector<Message> messages;

 protected:
  QString GetWindowClassName() const override { return QStringLiteral("KXMainFrmRecorder"); }
  DuiLib::LRESULT HandleMessage(DuiLib::UINT msg, DuiLib::WPARAM wParam, DuiLib::LPARAM lParam) override;
};

// One page message as the engines posted it.
struct BusEvent {
  WString key;
  Page* page = nullptr;
  WString text;
  int flag = -1;
};

// The page host window with real engines behind it and loopback pages in front: the
// bus is drained like the main window drains it, and every page message is recorded
// before the page list applies it, so tests see what the engines reported and what
// the model made of it.
class BodiesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  void SetUp() override;
  void TearDown() override;

  // Pops the page channels the way the main window does, records each message and
  // hands it to the page list.
  void Drain();
  // Runs the event loop and drains the bus until the condition holds.
  template <typename Predicate>
  bool Pump(Predicate predicate, int timeoutMs = 20000) {
    return QTest::qWaitFor(
        [&] {
          Drain();
          return predicate();
        },
        timeoutMs);
  }
  // Keeps draining for a while, to catch messages that must not come.
  void Settle(int ms = 400) {
    Pump([] { return false; }, ms);
  }

  std::vector<BusEvent> EventsFor(Page* page, WStringView key) const;
  // Pages announced through "mainwnd/pages/addpage", in order.
  std::vector<Page*> AddedPages() const;
  // True when the page reported loading and then its end.
  bool LoadedAfterStart(Page* page) const;

  static TabCefBody* CefBody(Page* page);
  static TabIeBody* IeBody(Page* page);
  // Opens a Chromium page through the page list and waits until its first page is in.
  Page* OpenChromium(const QByteArray& path);
  // Opens a compatibility page on the address (a path of the test server, or a whole
  // address) and waits until it has loaded.
  Page* OpenCompat(const QString& url);
  // Runs `expression` in the page's top document; its value as text ("<none>" when
  // the engine gave no answer in time).
  QString Evaluate(Page* page, const QString& expression);
  // Waits until the page's engine view is laid out in the body bar; the widget that
  // takes mouse and keys (the view's focus proxy), or nullptr.
  QWidget* InputTarget(Page* page);
  // A click and keys the way the platform delivers them: through the top-level
  // window, which hands them to the widget under the pointer or with the focus as it
  // does a user's. (Events sent to the view's widget directly skip the window, and Qt
  // WebEngine 6.8's view then never gives the page the keyboard.) Tests still focus
  // a page's field with a script: the click gives the view the keys, not a field.
  void ClickAsAUser(QWidget* target, QPoint at);
  static void TypeAsAUser(QWidget* target, const QString& text);
  static void PressAsAUser(QWidget* target, Qt::Key key);

  static WString Wide(const QString& text) { return text.toStdU16String(); }
  static TestHttpServer::Response Html(const QByteArray& body);

  EngineBodyFactory factory_;
  std::unique_ptr<PagesHost> host_;
  MessageRecorder mainWindow_;
  TestHttpServer server_;
  std::vector<BusEvent> events_;
  BusPoller poller_;

  static inline ShellTestData* data_ = nullptr;  // kept for the whole program
  static inline const TempDir* root_ = nullptr;   // data_'s root
  static inline ie::CompatEngineLoader* compatEngine_ = nullptr;
  static inline ie::LazyCompatProfile* compatProfile_ = nullptr;
  // The compatibility engine's certificate answers: the Chromium engine's lookup.
  static inline CertificatePolicy* compatCertificates_ = nullptr;

 private:
  // Installs handlers that record each page report and then apply it to the host's
  // page list, as the main windows' poller does.
  void RecordAndApplyPageReports();
};

}  // namespace tarvo::test
