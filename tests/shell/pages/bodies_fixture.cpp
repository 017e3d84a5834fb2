#include "shell/pages/bodies_fixture.h"

#include <QCoreApplication>
#include <QWidget>
#include <QWindow>
#include <memory>
#include <optional>

#include "engines/webengine/cef_browser.h"
#include "engines/cef/create_chromium_browser.h"
#include "engines/cef/tab_cef_body.h"
#include "engines/cef/web_client.h"
#include "engines/webengine/engine_page.h"
#include "engines/cef_test_environment.h"
#include "engines/webkitgtk/compat_engine_loader.h"
#include "engines/webkitgtk/lazy_compat_profile.h"
#include "engines/shared/certificate_policy.h"
#include "platform/text.h"
#include "bus/bus_channels.h"
#include "shell/pages/c_body_bar.h"
#include "shell/pages/page.h"
#include "shell/pages/page_bus_handler.h"
#include "shell/pages/page_channels.h"
#include "shell/pages/page_host.h"
#include "shell/pages/pages.h"
#include "store/user_database.h"
#include "ui/ui_messages.h"

namespace tarvo::test {

void EngineBodyFactory::OpenChromiumPage(const WString& url) {
  if (ieEnvironment.bodyBar != nullptr) CreateChromiumBrowser(ieEnvironment.bodyBar->GetWidget(), WideToUtf8(url));
}

bool EngineBodyFactory::OpenIePage(const WString& url) { return CreateIeBody(ieEnvironment, url) != nullptr; }

bool EngineBodyFactory::MakeBodyFor(Page& page) {
  if (page.GetEngineType() == Page::kEngineIe) return CreateIeBodyFor(ieEnvironment, page);
  return ieEnvironment.bodyBar != nullptr && CreateChromiumBrowserFor(ieEnvironment.bodyBar->GetWidget(), page);
}

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
  messages.push_back(Message{msg, wParam, lParam});
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
  compatEngine_ = new ie::CompatEngineLoader();
  compatProfile_ = new ie::LazyCompatProfile(
      *compatEngine_, {QString::fromStdString((root_->path() / "Compat").string()),
                       QString::fromStdString((root_->path() / "Cache" / "Compat").string())});
  // Both engines ask the one lookup the Chromium engine was started with.
  compatCertificates_ = new CertificatePolicy([](const std::string& url) {
    auto& environment = CefTestEnvironment::Instance();
    environment.certificate_questions.push_back(url);
    return environment.mirror_for_certificate_error ? environment.mirror_for_certificate_error(url) : std::string();
  });
  compatEngine_->SetCertificateErrorPolicy([](const QUrl& url) { return compatCertificates_->AcceptError(url, true); });
}

void BodiesTest::SetUp() {
  ASSERT_TRUE(server_.listening());
  mainWindow_.Create(0, QStringLiteral("main"), 0, 0, 0, 0, 10, 10);
  host_ = std::make_unique<PagesHost>(ShellTestData::Database());
  ASSERT_NE(host_->bodyBar, nullptr);
  factory_.ieEnvironment = {host_->bodyBar, mainWindow_.GetHWND(), compatProfile_, &host_->pages};
  host_->pages.SetBodyFactory(&factory_);
  ClientInstance()->AddHost(PageHost{mainWindow_.GetHWND(), host_->bodyBar, &host_->pages});
  RecordAndApplyPageReports();
}

void BodiesTest::TearDown() {
  ShellTestData::Database().Execute("delete from domain_type where domain = ?", {std::string("localhost")});
  CBodyBar* bodyBar = host_->bodyBar;
  host_.reset();
  QTest::qWait(100);
  Drain();
  ClientInstance()->RemoveHost(bodyBar);
  mainWindow_.Close();
  QCoreApplication::processEvents();
}

void BodiesTest::Drain() {
  QCoreApplication::processEvents();
  while (poller_.Drain() > 0) {
  }
}

void BodiesTest::RecordAndApplyPageReports() {
  // Reports drained after the host went (TearDown) find no list.
  auto lists = [this] { return host_ != nullptr ? std::vector<Pages*>{&host_->pages} : std::vector<Pages*>{}; };
  poller_.On(PageChannels::kAddPage, [this, lists](auto record) {
    events_.push_back({WString(PageChannels::kAddPage.Key()), record->page.get()});
    PageBusHandler::ApplyAddPage(std::move(record), lists());
  });
  poller_.On(PageChannels::kIsLoading, [this, lists](auto record) {
    events_.push_back({WString(PageChannels::kIsLoading.Key()), record->page, {}, record->flag});
    PageBusHandler::ApplyLoading(*record, lists());
  });
  poller_.On(PageChannels::kTempRedirect, [this, lists](auto record) {
    events_.push_back({WString(PageChannels::kTempRedirect.Key()), record->page, record->url, record->redirect});
    PageBusHandler::ApplyRedirect(*record, lists());
  });
  poller_.On(PageChannels::kSetIconUrl, [this, lists](auto record) {
    events_.push_back({WString(PageChannels::kSetIconUrl.Key()), record->page, record->text});
    PageBusHandler::ApplyIconUrl(*record, lists());
  });
  poller_.On(PageChannels::kSetTitle, [this, lists](auto record) {
    events_.push_back({WString(PageChannels::kSetTitle.Key()), record->page, record->text});
    PageBusHandler::ApplyTitle(*record, lists());
  });
  // What the window's command does with a link opened in a new tab.
  poller_.On(BusChannels::kTabOpenUrl, [this](BusChannels::UrlChannel::Owned url) {
    events_.push_back({WString(BusChannels::kTabOpenUrl.Key()), nullptr, WString(url->View())});
    host_->pages.OpenUrlInBackgroundTab(WString(url->View()));
  });
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
    if (event.key == PageChannels::kAddPage.Key()) pages.push_back(event.page);
  }
  return pages;
}

bool BodiesTest::LoadedAfterStart(Page* page) const {
  bool started = false;
  for (const BusEvent& event : EventsFor(page, PageChannels::kIsLoading.Key())) {
    if (event.flag == 1) started = true;
    if (event.flag == 0 && started) return true;
  }
  return false;
}

TabCefBody* BodiesTest::CefBody(Page* page) { return page != nullptr ? dynamic_cast<TabCefBody*>(page->Body()) : nullptr; }

TabIeBody* BodiesTest::IeBody(Page* page) { return page != nullptr ? dynamic_cast<TabIeBody*>(page->Body()) : nullptr; }

Page* BodiesTest::OpenCompat(const QString& url) {
  const QString address = url.startsWith(QLatin1Char('/')) ? server_.Url(url) : url;
  TabIeBody* body = CreateIeBody(factory_.ieEnvironment, Wide(address));
  if (body == nullptr) return nullptr;
  Page* page = body->GetOwner();
  if (!Pump([&] { return LoadedAfterStart(page) && !page->IsLoading(); })) return nullptr;
  return page;
}

QString BodiesTest::Evaluate(Page* page, const QString& expression) {
  // Shared with the engine's answer, which may come after the wait gave up.
  auto answer = std::make_shared<std::optional<QString>>();
  if (TabCefBody* chromium = CefBody(page)) {
    chromium->GetBrowser()->page()->runJavaScript(QStringLiteral("String(%1)").arg(expression),
                                                  [answer](const QVariant& value) { *answer = value.toString(); });
  } else if (TabIeBody* compat = IeBody(page); compat != nullptr && compat->Control() != nullptr) {
    compat->Control()->RunScript(Wide(QStringLiteral("String(%1)").arg(expression)),
                                 [answer](bool ok, const WString& value) {
                                   *answer = ok ? QString::fromStdU16String(value) : QStringLiteral("<failed>");
                                 });
  }
  return Pump([&] { return answer->has_value(); }, 10000) ? **answer : QStringLiteral("<none>");
}

void BodiesTest::ClickAsAUser(QWidget* target, QPoint at) {
  // A click makes the window the active one, as the desktop does.
  target->window()->activateWindow();
  EXPECT_TRUE(QTest::qWaitForWindowActive(target->window()));
  QWindow* window = target->window()->windowHandle();
  const QPoint point = target->mapTo(target->window(), at);
  QTest::mouseMove(window, point);
  QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, point, 20);
  // The view takes the keyboard focus on its own time; keys typed before that go
  // nowhere.
  Settle(300);
}

void BodiesTest::TypeAsAUser(QWidget* target, const QString& text) {
  for (const QChar character : text) QTest::keyClick(target->window()->windowHandle(), character.toLatin1());
}

void BodiesTest::PressAsAUser(QWidget* target, Qt::Key key) {
  QTest::keyClick(target->window()->windowHandle(), key);
}

Page* BodiesTest::OpenChromium(const QByteArray& path) {
  const int before = host_->pages.Count();
  const int served = server_.CountFor(path);
  host_->pages.OpenUrlInNewTab(Wide(server_.Url(QString::fromLatin1(path))));
  if (!Pump([&] { return host_->pages.Count() > before; })) return nullptr;
  Page* page = host_->pages.PageAt(-1);
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
