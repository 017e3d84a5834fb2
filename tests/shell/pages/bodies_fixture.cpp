#include "shell/pages/bodies_fixture.h"

#include <QCoreApplication>
#include <QWidget>

#include "engines/cef/cef_browser.h"
#include "engines/cef/create_chromium_browser.h"
#include "engines/cef/tab_cef_body.h"
#include "engines/cef/web_client.h"
#include "engines/ie/compat_network.h"
#include "platform/text.h"
#include "bus/bus_keys.h"
#include "bus/bus_string.h"
#include "bus/message_bus.h"
#include "shell/commands/main_window_messages.h"
#include "shell/pages/c_body_bar.h"
#include "shell/pages/page.h"
#include "shell/pages/page_bus_handler.h"
#include "shell/pages/page_records.h"
#include "shell/pages/pages.h"
#include "store/user_database.h"
#include "ui/ui_messages.h"

namespace tarvo::test {

namespace {
// Page channels of the bus: the ones the page list applies.
bool IsPageChannel(WStringView key) {
  return key == BusKeys::kTabOpenUrl || key == BusKeys::kTabOpenHome || key == BusKeys::kPagesAddPage ||
         key == BusKeys::kPageIsLoading || key == BusKeys::kPageTempRedirect || key == BusKeys::kPageSetIconUrl ||
         key == BusKeys::kPageSetTitle;
}
}  // namespace

void EngineBodyFactory::OpenChromiumPage(const WString& url) {
  if (ieEnvironment.bodyBar != nullptr) CreateChromiumBrowser(ieEnvironment.bodyBar->GetWidget(), WideToUtf8(url));
}

bool EngineBodyFactory::OpenIePage(const WString& url) { return CreateIeBody(ieEnvironment, url) != nullptr; }

int MessageRecorder::CommandCount(unsigned command) const {
  int count = 0;
  for (const Message& message : messages) {
    if (message.msg == DuiLib::WM_COMMAND && (message.wParam & 0xFFFF) == command) ++count;
  }
  return count;
}

int MessageRecorder::Count(DuiLib::UINT msg) const {
  int count = 0;
  for (const Message& message : messages) count += message.msg == msg ? 1 : 0;
  return count;
}

DuiLib::LRESULT MessageRecorder::HandleMessage(DuiLib::UINT msg, DuiLib::WPARAM wParam, DuiLib::LPARAM lParam) {
  Message message{msg, wParam, lParam, {}};
  if (msg == MainWindowMessages::kOpenCompatibilityTab) {
    std::unique_ptr<WString> url(reinterpret_cast<WString*>(wParam));
    if (url != nullptr) message.url = *url;
  }
  messages.push_back(message);
  return CWindowWnd::HandleMessage(msg, wParam, lParam);
}

TestHttpServer::Response BodiesTest::Html(const QByteArray& body) {
  TestHttpServer::Response response;
  response.body = body;
  return response;
}

void BodiesTest::SetUpTestSuite() {
  if (data_ != nullptr) return;
  data_ = new ShellTestData();
  ASSERT_TRUE(data_->SetUp());
  root_ = &data_->root();
  network_ = new ie::CompatNetwork(QString::fromStdString((root_->path() / "ie").string()));
}

void BodiesTest::SetUp() {
  ASSERT_TRUE(server_.listening());
  mainWindow_.Create(0, QStringLiteral("main"), 0, 0, 0, 0, 10, 10);
  host_ = std::make_unique<PagesHost>();
  ASSERT_NE(host_->bodyBar, nullptr);
  factory_.ieEnvironment = {host_->bodyBar, mainWindow_.GetHWND(), network_};
  Pages::Instance().SetBodyFactory(&factory_);
  ClientInstance()->SetWindows(mainWindow_.GetHWND(), host_->bodyBar);
}

void BodiesTest::TearDown() {
  UserDatabase::Instance().Execute("delete from domain_type where domain = ?", {std::string("localhost")});
  host_.reset();
  QTest::qWait(100);
  Drain();
  ClientInstance()->SetWindows(0, nullptr);
  mainWindow_.Close();
  QCoreApplication::processEvents();
}

void BodiesTest::Drain() {
  QCoreApplication::processEvents();
  for (bool popped = true; popped;) {
    popped = false;
    for (WStringView key : BusKeys::kPollOrder) {
      if (!IsPageChannel(key)) continue;
      for (uintptr_t payload = MessageBus::Instance().Pop(key); payload != 0;
           payload = MessageBus::Instance().Pop(key)) {
        popped = true;
        Record(key, payload);
        PageBusHandler::Handle(key, payload);
      }
    }
  }
}

void BodiesTest::Record(WStringView key, uintptr_t payload) {
  BusEvent event{WString(key)};
  if (key == BusKeys::kPagesAddPage) {
    event.page = reinterpret_cast<Page*>(payload);
  } else if (key == BusKeys::kPageIsLoading) {
    const auto* record = reinterpret_cast<const PageFlagRecord*>(payload);
    event.page = record->page;
    event.flag = record->flag;
  } else if (key == BusKeys::kPageTempRedirect) {
    const auto* record = reinterpret_cast<const PageRedirectRecord*>(payload);
    event = {WString(key), record->page, record->url, record->redirect};
  } else if (key == BusKeys::kPageSetTitle || key == BusKeys::kPageSetIconUrl) {
    const auto* record = reinterpret_cast<const PageTextRecord*>(payload);
    event = {WString(key), record->page, record->text, -1};
  } else if (key == BusKeys::kTabOpenUrl) {
    event.text = reinterpret_cast<const BusString*>(payload)->View();
  } else {
    return;
  }
  events_.push_back(event);
}

std::vector<BusEvent> BodiesTest::EventsFor(Page* page, WStringView key) const {
  std::vector<BusEvent> found;
  for (const BusEvent& event : events_) {
    if (event.page == page && event.key == key) found.push_back(event);
  }
  return found;
}

std::vector<Page*> BodiesTest::AddedPages() const {
  std::vector<Page*> pages;
  for (const BusEvent& event : events_) {
    if (event.key == BusKeys::kPagesAddPage) pages.push_back(event.page);
  }
  return pages;
}

bool BodiesTest::LoadedAfterStart(Page* page) const {
  bool started = false;
  for (const BusEvent& event : EventsFor(page, BusKeys::kPageIsLoading)) {
    if (event.flag == 1) started = true;
    if (event.flag == 0 && started) return true;
  }
  return false;
}

TabCefBody* BodiesTest::CefBody(Page* page) { return page != nullptr ? dynamic_cast<TabCefBody*>(page->Body()) : nullptr; }

Page* BodiesTest::OpenChromium(const QByteArray& path) {
  const int before = Pages::Instance().Count();
  const int served = server_.CountFor(path);
  Pages::Instance().OpenUrlInNewTab(Wide(server_.Url(QString::fromLatin1(path))));
  if (!Pump([&] { return Pages::Instance().Count() > before; })) return nullptr;
  Page* page = Pages::Instance().PageAt(-1);
  TabCefBody* body = CefBody(page);
  if (body == nullptr) return nullptr;
  if (!Pump([&] { return server_.CountFor(path) > served && !body->GetBrowser()->IsLoading(); })) return nullptr;
  return page;
}

QWidget* BodiesTest::InputTarget(Page* page) {
  TabCefBody* body = CefBody(page);
  QWidget* view = body != nullptr ? body->GetWindow() : nullptr;
  if (view == nullptr) return nullptr;
  if (!Pump([&] { return view->isVisible() && view->width() > 100 && view->height() > 100 && view->focusProxy(); })) {
    return nullptr;
  }
  Settle(300);
  return view->focusProxy();
}

}  // namespace tarvo::test
