#include "engines/ie/compat_page.h"

#include <QNetworkRequest>
#include <QWebFrame>
#include <memory>

#include "engines/ie/web_browser_control.h"
#include "engines/ie/web_browser_events.h"

namespace tarvo::ie {

namespace {
WString Wide(const QString& text) { return text.toStdU16String(); }

// The control's own short error page, shown when the event handler lets it.
QString ErrorPage(const QUrl& url, const QString& reason) {
  return QStringLiteral(
             "<html><head><meta charset=\"utf-8\"><title>Navigation failed</title></head>"
             "<body><h3>This page cannot be displayed</h3><p>%1</p><p>%2</p></body></html>")
      .arg(url.toString().toHtmlEscaped(), reason.toHtmlEscaped());
}
}  // namespace

CompatPage::CompatPage(WebBrowserControl* control, QObject* parent) : QWebPage(parent), control_(control) {
  WatchFrame(mainFrame());
  connect(mainFrame(), &QWebFrame::titleChanged, this, [this](const QString& title) {
    if (WebBrowserEvents* events = control_->events()) {
      events->TitleChange(Wide(title));
    }
  });
  connect(this, &QWebPage::frameCreated, this, &CompatPage::WatchFrame);
}

const void* CompatPage::DispatchOf(QWebFrame* frame) const {
  return frame == mainFrame() ? control_->Dispatch() : static_cast<const void*>(frame);
}

void CompatPage::WatchFrame(QWebFrame* frame) {
  // A frame's first document may arrive without an address change; every loaded
  // document is announced once before it is reported complete.
  auto announced = std::make_shared<QUrl>();
  connect(frame, &QWebFrame::urlChanged, this, [this, frame, announced](const QUrl& url) {
    *announced = url;
    if (WebBrowserEvents* events = control_->events()) {
      events->NavigateComplete2(DispatchOf(frame), Wide(url.toString()));
    }
  });
  connect(frame, &QWebFrame::loadFinished, this, [this, frame, announced](bool ok) {
    WebBrowserEvents* events = control_->events();
    if (!ok || events == nullptr) {
      return;
    }
    // A frame's own address can still be empty here; the requested one is known.
    const QUrl url = frame->url().isEmpty() ? frame->requestedUrl() : frame->url();
    if (*announced != url) {
      *announced = url;
      events->NavigateComplete2(DispatchOf(frame), Wide(url.toString()));
    }
    events->DocumentComplete(DispatchOf(frame), Wide(url.toString()));
  });
}

bool CompatPage::acceptNavigationRequest(QWebFrame* frame, const QNetworkRequest& request, NavigationType) {
  if (frame == nullptr) {
    // The page asks for a new window; createWindow follows and names it.
    pending_window_url_ = request.url();
    return true;
  }
  WebBrowserEvents* events = control_->events();
  if (events == nullptr) {
    return true;
  }
  QString headers;
  for (const QByteArray& name : request.rawHeaderList()) {
    headers += QString::fromLatin1(name + ": " + request.rawHeader(name) + "\r\n");
  }
  const QString frame_name = frame == mainFrame() ? QString() : frame->frameName();
  bool cancel = false;
  events->BeforeNavigate2(DispatchOf(frame), Wide(request.url().toString()), 0, Wide(frame_name), std::string(),
                          Wide(headers), cancel);
  return !cancel;
}

QWebPage* CompatPage::createWindow(WebWindowType) {
  const QUrl url = pending_window_url_;
  pending_window_url_.clear();
  WebBrowserEvents* events = control_->events();
  if (events == nullptr) {
    return nullptr;
  }
  WebBrowserControl* new_browser = nullptr;
  bool cancel = false;
  events->NewWindow3(&new_browser, cancel, 0, Wide(mainFrame()->url().toString()), Wide(url.toString()));
  if (cancel || new_browser == nullptr) {
    return nullptr;
  }
  return new_browser->page();
}

bool CompatPage::supportsExtension(Extension extension) const { return extension == ErrorPageExtension; }

bool CompatPage::extension(Extension extension, const ExtensionOption* option, ExtensionReturn* output) {
  if (extension != ErrorPageExtension || option == nullptr) {
    return false;
  }
  const auto* error = static_cast<const ErrorPageExtensionOption*>(option);
  bool cancel = false;
  if (WebBrowserEvents* events = control_->events()) {
    const QString frame_name = error->frame == mainFrame() || error->frame == nullptr ? QString()
                                                                                       : error->frame->frameName();
    events->NavigateError(error->frame != nullptr ? DispatchOf(error->frame) : control_->Dispatch(),
                          Wide(error->url.toString()), Wide(frame_name), error->error, cancel);
  }
  if (cancel || output == nullptr) {
    return false;
  }
  auto* page = static_cast<ErrorPageExtensionReturn*>(output);
  page->baseUrl = error->url;
  page->contentType = QStringLiteral("text/html");
  page->encoding = QStringLiteral("utf-8");
  page->content = ErrorPage(error->url, error->errorString).toUtf8();
  return true;
}

void CompatPage::javaScriptConsoleMessage(const QString&, int, const QString&) {
  // Script errors stay silent and scripts keep running, as the page's users expect.
}

}  // namespace tarvo::ie
