#include "shell/pages/pages_host.h"

#include <QCoreApplication>
#include <QImage>
#include <QTest>

#include "ui/ui_window_styles.h"

#include "shell/pages/c_body_bar_ui.h"
#include "shell/pages/page.h"
#include "shell/pages/page_bus_handler.h"
#include "shell/pages/page_channels.h"
#include "shell/pages/pages.h"

namespace tarvo::test {

int RecordingBody::Navigate(const WString& url, const WString&, const WString&) {
  if (!ready) return -1;
  loads.push_back(url);
  return 0;
}

int RecordingBody::Reload() {
  ++reloads;
  return 0;
}

void RecordingBody::Show(bool visible) {
  if (window_ != nullptr) window_->setVisible(visible);
}

void RecordingBody::SetReady(bool value) {
  ready = value;
  Show(value);
}

void RecordingBody::TakePicture(PictureDone done) {
  const QImage picture = window_ != nullptr ? window_->grab().toImage() : QImage();
  if (done) done(picture);
}

QWidget* RecordingBody::MakeWindow(QWidget* parent) {
  if (window_ == nullptr) {
    window_ = std::make_unique<QWidget>(parent);
    window_->setAutoFillBackground(true);
    QPalette palette = window_->palette();
    palette.setColor(QPalette::Window, QColor(250, 250, 240));
    window_->setPalette(palette);
  }
  return window_.get();
}

void RecordingFactory::OpenChromiumPage(const WString& url) {
  chromiumUrls.push_back(url);
  auto body = std::make_unique<RecordingBody>();
  body->MakeWindow();
  body->SetReady(true);
  auto* raw = body.get();
  auto record = std::make_unique<AddPageRecord>();
  record->page = std::make_unique<Page>(std::move(body), Page::kEngineChromium);
  record->into = &pages_;
  raw->Navigate(url, {}, {});
  PageChannels::kAddPage.Post(std::move(record));
}

bool RecordingFactory::MakeBodyFor(Page& page) {
  auto body = std::make_unique<RecordingBody>();
  body->MakeWindow();
  page.AdoptBody(std::move(body));
  return true;
}

bool RecordingFactory::OpenIePage(const WString& url) {
  ieUrls.push_back(url);
  auto body = std::make_unique<RecordingBody>();
  body->MakeWindow();
  body->SetReady(true);
  pages_.CreateIePage(std::move(body));
  return true;
}

PagesHost::PagesHost(UserDatabase& database)
    : window(QStringLiteral("pages_host.xml"), [](const QString& tag) -> std::unique_ptr<DuiLib::CControlUI> {
        if (tag.compare(QLatin1String(CBodyBarUI::kTag), Qt::CaseInsensitive) == 0) {
          return std::make_unique<CBodyBarUI>();
        }
        return nullptr;
      }),
      pages(crashReloads, database, VpnRoute(account).AsFunction()) {
  window.defaultKeys = false;
  window.Create(0, QStringLiteral("pages"), DuiLib::UI_WNDSTYLE_FRAME, 0, 0, 0, 900, 500);
  ShowAndWait(window);
  strip = std::make_unique<TabStrip>(window.FindControl<DuiLib::CContainerUI>(QStringLiteral("tabs")),
                                     window.GetHWND());
  auto* bodyBarUi = window.FindControl<CBodyBarUI>(QStringLiteral("body_bar"));
  bodyBar = bodyBarUi != nullptr ? bodyBarUi->GetBodyBar() : nullptr;
  pages.Attach(strip.get(), bodyBar, window.GetHWND());
  PageBusHandler::Install(poller, [this] { return std::vector<Pages*>{&pages}; });
  pages.SetBodyFactory(&factory);
  TabWnd::Controls controls;
  controls.home = window.FindControl(QStringLiteral("home_btn"));
  controls.back = window.FindControl(QStringLiteral("back_btn"));
  controls.forward = window.FindControl(QStringLiteral("forward_btn"));
  controls.reload = window.FindControl(QStringLiteral("reload_btn"));
  controls.stop = window.FindControl(QStringLiteral("stop_btn"));
  controls.lock = window.FindControl(QStringLiteral("lock_btn"));
  controls.address = window.FindControl(QStringLiteral("address"));
  controls.favorite = window.FindControl(QStringLiteral("favor_btn"));
  pages.GetTabWnd().SetControls(controls);
}

PagesHost::~PagesHost() {
  pages.CloseAll();
  pages.GetTabWnd().Detach();
  pages.Attach(nullptr, nullptr, 0);
  pages.SetBodyFactory(nullptr);
  window.Close();
  QCoreApplication::processEvents();
}

Page* PagesHost::OpenPage(const WString& url) {
  const int before = pages.Count();
  pages.OpenUrlInNewTab(url);
  Drain();
  return pages.Count() > before ? pages.PageAt(-1) : nullptr;
}

void PagesHost::Drain() {
  QCoreApplication::processEvents();
  poller.Drain();
  QCoreApplication::processEvents();
}

}  // namespace tarvo::test
