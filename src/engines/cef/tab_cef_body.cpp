#include "engines/cef/tab_cef_body.h"

#include <QImage>
#include <QWebEngineScript>
#include <QWidget>
#include <algorithm>
#include <fstream>
#include <utility>

#include "engines/webengine/cef_browser_host.h"
#include "engines/webengine/engine_page.h"
#include "engines/webengine/cef_entry_points.h"
#include "engines/webengine/cef_frame.h"
#include "engines/webengine/cef_pdf_print_callback.h"
#include "engines/webengine/cef_string_visitor.h"
#include "engines/webengine/cef_task.h"
#include "engines/cef/web_client.h"
#include "platform/text.h"
#include "shell/pages/page.h"
#include "shell/pages/typed_into_script.h"

namespace tarvo {

using cef::CefBrowserHost;
using cef::CefRefPtr;

namespace {

// A zoom step carried onto the engine's UI thread; it holds the host only until it
// has run.
class CZoomTask : public cef::CefTask {
 public:
  CZoomTask(CefRefPtr<CefBrowserHost> host, double (*step)(double)) : host_(std::move(host)), step_(step) {}
  void Execute() override {
    if (host_ != nullptr) host_->SetZoomLevel(step_(host_->GetZoomLevel()));
    host_.reset();
  }

 private:
  CefRefPtr<CefBrowserHost> host_;
  double (*step_)(double);
};

// Writes the source the engine delivers to the file. The bytes go out unchanged:
// no byte-order mark, line ends as the page has them.
class MyStringVisitor : public cef::CefStringVisitor {
 public:
  MyStringVisitor(WString path, ITabBody::Done done) : path_(std::move(path)), done_(std::move(done)) {}
  void Visit(const cef::CefString& text) override {
    const std::string bytes = WideToUtf8(text);
    std::ofstream file(WideToUtf8(path_), std::ios::binary | std::ios::trunc);
    const bool written = file && file.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) && file.flush();
    if (done_) std::exchange(done_, nullptr)(written);
  }

 private:
  const WString path_;
  ITabBody::Done done_;
};

// Hands the outcome of a print to the caller's completion.
class PdfDone : public cef::CefPdfPrintCallback {
 public:
  explicit PdfDone(std::function<void(bool)> done) : done_(std::move(done)) {}
  void OnPdfPrintFinished(const cef::CefString&, bool ok) override {
    if (done_) std::exchange(done_, nullptr)(ok);
  }

 private:
  std::function<void(bool)> done_;
};

}  // namespace

TabCefBody::TabCefBody(CefRefPtr<cef::CefBrowser> browser, bool ready, LoginFormEvents* loginForms)
    : browser_(std::move(browser)), ready_(ready) {
  if (browser_ != nullptr && loginForms != nullptr) {
    loginForms_ = ChromiumLoginForms::Make(browser_->page(), *this, *loginForms);
  }
}

TabCefBody::~TabCefBody() { Close(); }

CefRefPtr<CefBrowserHost> TabCefBody::Host() const { return browser_ != nullptr ? browser_->GetHost() : nullptr; }

QWidget* TabCefBody::GetWindow() {
  auto host = Host();
  return host != nullptr ? host->GetWindowHandle() : nullptr;
}

int TabCefBody::Navigate(const WString& url, const WString&, const WString&) {
  if (!ready_ || browser_ == nullptr) return -1;
  browser_->GetMainFrame()->LoadURL(url);
  return 0;
}

int TabCefBody::Reload() {
  if (!ready_ || browser_ == nullptr) return -1;
  browser_->Reload();
  return 0;
}

int TabCefBody::Stop() {
  if (browser_ != nullptr) browser_->StopLoad();
  return 0;
}

double TabCefBody::ZoomInLevel(double level) { return ZoomLevel::In(level); }

double TabCefBody::ZoomOutLevel(double level) { return ZoomLevel::Out(level); }

void TabCefBody::ZoomIn() {
  if (auto host = Host()) cef::CefPostTask(cef::TID_UI, std::make_shared<CZoomTask>(host, &ZoomInLevel));
}

void TabCefBody::ZoomOut() {
  if (auto host = Host()) cef::CefPostTask(cef::TID_UI, std::make_shared<CZoomTask>(host, &ZoomOutLevel));
}

double TabCefBody::CurrentZoomLevel() const {
  auto host = Host();
  return host != nullptr ? host->GetZoomLevel() : 0;
}

void TabCefBody::SetZoomLevel(double level) {
  if (auto host = Host()) host->SetZoomLevel(std::clamp(level, kMinZoomLevel, kMaxZoomLevel));
}

void TabCefBody::FindNext(const WString& text) {
  auto host = Host();
  if (!text.empty() && host != nullptr) host->Find(0, text, true, true, false);
}

void TabCefBody::FindPrevious(const WString& text) {
  auto host = Host();
  if (!text.empty() && host != nullptr) host->Find(0, text, false, true, true);
}

void TabCefBody::Show(bool visible) {
  shown_ = visible;
  if (QWidget* window = GetWindow()) window->setVisible(visible);
}

void TabCefBody::SetReady(bool ready) {
  ready_ = ready;
  // Readiness never shows the window: the body bar shows the selected tab's. A
  // background tab's view shown here would be laid out, drawn and given buffers of
  // its own behind the selected one, about 2 MiB a tab, for nothing.
  if (!ready) Show(false);
}

void TabCefBody::SetRect(int left, int top, int right, int bottom) {
  if (QWidget* window = GetWindow()) window->setGeometry(left, top, right - left, bottom - top);
}

void TabCefBody::Close() {
  if (browser_ == nullptr) return;
  // The page that owned this body may be gone before the browser has closed.
  ClientInstance()->ForgetPage(browser_->GetIdentifier());
  Stop();
  SetReady(false);
  if (auto host = Host()) host->CloseBrowser(false);
  browser_.reset();
}

bool TabCefBody::Supports(PageOperation) const {
  auto host = Host();
  return host != nullptr && host->GetWindowHandle() != nullptr;
}

void TabCefBody::SaveSource(const WString& path, Done done) {
  if (!Supports(PageOperation::kSaveSource)) {
    if (done) done(false);
    return;
  }
  browser_->GetMainFrame()->GetSource(std::make_shared<MyStringVisitor>(path, std::move(done)));
}

void TabCefBody::Print(QPrinter* printer, Done done) {
  auto host = Host();
  if (host == nullptr || printer == nullptr) {
    if (done) done(false);
    return;
  }
  host->Print(printer, std::move(done));
}

void TabCefBody::TakePicture(PictureDone done) {
  QWidget* window = Supports(PageOperation::kPicture) ? GetWindow() : nullptr;
  const QImage picture = window != nullptr ? window->grab().toImage() : QImage();
  if (done) done(picture);
}

void TabCefBody::SaveAsPdf(const WString& path, Done done) {
  auto host = Host();
  if (host == nullptr) {
    if (done) done(false);
    return;
  }
  cef::CefPdfPrintSettings settings;
  settings.page_width = 330000;
  settings.page_height = 2000000;
  settings.margin_type = cef::PDF_PRINT_MARGIN_NONE;
  settings.header_footer_enabled = false;
  settings.selection_only = false;
  settings.landscape = false;
  settings.backgrounds_enabled = true;
  host->PrintToPDF(path, settings, done ? std::make_shared<PdfDone>(std::move(done)) : nullptr);
}

bool TabCefBody::IsAudible() const {
  const cef::EnginePage* page = browser_ != nullptr ? browser_->page() : nullptr;
  return page != nullptr && page->recentlyAudible();
}

void TabCefBody::AskTypedInto(std::function<void(bool typed)> answer) {
  cef::EnginePage* page = browser_ != nullptr ? browser_->page() : nullptr;
  if (page == nullptr || page->lifecycleState() != QWebEnginePage::LifecycleState::Active) {
    answer(page == nullptr);
    return;
  }
  page->runJavaScript(QString::fromStdU16String(TypedIntoScript::kProbe), QWebEngineScript::ApplicationWorld,
                      [answer = std::move(answer)](const QVariant& typed) { answer(typed.toBool()); });
}

bool TabCefBody::SetRest(BodyRest rest) {
  cef::EnginePage* page = browser_ != nullptr ? browser_->page() : nullptr;
  if (page == nullptr) return false;
  using State = QWebEnginePage::LifecycleState;
  const State wanted = rest == BodyRest::kActive ? State::Active
                       : rest == BodyRest::kFrozen ? State::Frozen
                                                   : State::Discarded;
  // The body bar hides background views itself; what counts is what is on screen.
  QWidget* view = GetWindow();
  if (rest != BodyRest::kActive && (page->isVisible() || (view != nullptr && view->isVisible()))) return false;
  if (page->lifecycleState() != wanted) page->setLifecycleState(wanted);
  return page->lifecycleState() == wanted;
}

BodyRest TabCefBody::Rest() const {
  const cef::EnginePage* page = browser_ != nullptr ? browser_->page() : nullptr;
  if (page == nullptr) return BodyRest::kActive;
  switch (page->lifecycleState()) {
    case QWebEnginePage::LifecycleState::Frozen:
      return BodyRest::kFrozen;
    case QWebEnginePage::LifecycleState::Discarded:
      return BodyRest::kDiscarded;
    default:
      return BodyRest::kActive;
  }
}

}  // namespace tarvo
