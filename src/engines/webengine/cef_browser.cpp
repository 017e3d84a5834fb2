#include "engines/webengine/cef_browser.h"

#include <QWebEngineHistory>

#include "engines/webengine/cef_browser_host.h"
#include "engines/webengine/cef_frame.h"
#include "engines/webengine/cef_request_context.h"
#include "engines/webengine/engine_page.h"
#include "engines/webengine/engine_view.h"

namespace tarvo::cef {

CefBrowser::CefBrowser(int identifier, CefRefPtr<CefClient> client, EngineView* view, bool is_popup,
                       CefRefPtr<CefRequestContext> request_context)
    : identifier_(identifier),
      client_(std::move(client)),
      view_(view),
      is_popup_(is_popup),
      request_context_(std::move(request_context)) {}

CefRefPtr<CefBrowserHost> CefBrowser::GetHost() {
  if (host_ == nullptr) {
    host_ = std::make_shared<CefBrowserHost>(weak_from_this());
  }
  return host_;
}

CefRefPtr<CefFrame> CefBrowser::GetMainFrame() {
  if (main_frame_ == nullptr) {
    main_frame_ = std::make_shared<CefFrame>(weak_from_this(), true, CefString());
  }
  return main_frame_;
}

EngineView* CefBrowser::view() const { return static_cast<EngineView*>(view_.data()); }

EnginePage* CefBrowser::page() const { return view_.isNull() ? nullptr : view()->engine_page(); }

bool CefBrowser::CanGoBack() const { return page() != nullptr && page()->history()->canGoBack(); }

bool CefBrowser::CanGoForward() const { return page() != nullptr && page()->history()->canGoForward(); }

void CefBrowser::GoBack() {
  if (page() != nullptr) {
    page()->triggerAction(QWebEnginePage::Back);
  }
}

void CefBrowser::GoForward() {
  if (page() != nullptr) {
    page()->triggerAction(QWebEnginePage::Forward);
  }
}

void CefBrowser::Reload() {
  if (page() != nullptr) {
    page()->triggerAction(QWebEnginePage::Reload);
  }
}

void CefBrowser::ReloadIgnoreCache() {
  if (page() != nullptr) {
    page()->triggerAction(QWebEnginePage::ReloadAndBypassCache);
  }
}

void CefBrowser::StopLoad() {
  if (page() != nullptr) {
    page()->triggerAction(QWebEnginePage::Stop);
  }
}

}  // namespace tarvo::cef
