#pragma once

#include <QWebEngineUrlRequestInterceptor>
#include <memory>

namespace tarvo::cef {

class CefBrowser;

// Hands every resource request of one page to its client's OnBeforeResourceLoad
// and applies the answer: blocking, or the headers the client added. Requests the
// certificate policy no longer allows (an acceptance the engine remembers but the
// program withdrew) are blocked before the client hears of them. The engine's
// requests for the page's icons are not made: their addresses go to the client's
// OnFaviconURLChange instead, one at a time.
// Lifetime: a child of its EnginePage.
// Threads: the engine calls it on the GUI thread (page interceptors run there).
class PageRequestInterceptor : public QWebEngineUrlRequestInterceptor {
  Q_OBJECT
 public:
  explicit PageRequestInterceptor(QObject* parent) : QWebEngineUrlRequestInterceptor(parent) {}

  void Attach(const std::weak_ptr<CefBrowser>& browser) { browser_ = browser; }
  void interceptRequest(QWebEngineUrlRequestInfo& info) override;

  // A header name and value that can be sent as given: a token name, and a value
  // without line breaks or NUL that could splice extra headers into the request.
  static bool IsSafeHeader(const QByteArray& name, const QByteArray& value);

 private:
  void AnnounceFavicon(QWebEngineUrlRequestInfo& info);

  std::weak_ptr<CefBrowser> browser_;
};

}  // namespace tarvo::cef
