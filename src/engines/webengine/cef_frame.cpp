#include "engines/webengine/cef_frame.h"

#include <QUrl>

#include "engines/webengine/cef_browser.h"
#include "engines/webengine/cef_string_visitor.h"
#include "engines/webengine/engine_page.h"

namespace tarvo::cef {

namespace {
EnginePage* MainPage(const std::weak_ptr<CefBrowser>& weak, bool is_main) {
  auto browser = weak.lock();
  return is_main && browser != nullptr ? browser->page() : nullptr;
}
}  // namespace

CefFrame::CefFrame(std::weak_ptr<CefBrowser> browser, bool is_main, CefString url)
    : browser_(std::move(browser)), is_main_(is_main), url_(std::move(url)) {}

bool CefFrame::IsValid() const {
  auto browser = browser_.lock();
  return browser != nullptr && browser->IsValid();
}

CefString CefFrame::GetURL() const {
  if (!is_main_) {
    return url_;
  }
  EnginePage* page = MainPage(browser_, true);
  return page != nullptr ? page->url().toString().toStdU16String() : CefString();
}

bool CefFrame::LoadURL(const CefString& url) {
  EnginePage* page = MainPage(browser_, is_main_);
  if (page == nullptr) {
    return false;
  }
  page->load(QUrl(QString::fromStdU16String(url)));
  return true;
}

bool CefFrame::GetSource(CefRefPtr<CefStringVisitor> visitor) {
  EnginePage* page = MainPage(browser_, is_main_);
  if (page == nullptr || visitor == nullptr) {
    return false;
  }
  page->toHtml([visitor](const QString& html) { visitor->Visit(html.toStdU16String()); });
  return true;
}

bool CefFrame::ExecuteJavaScript(const CefString& code, const CefString& /*script_url*/, int /*start_line*/) {
  EnginePage* page = MainPage(browser_, is_main_);
  if (page == nullptr) {
    return false;
  }
  page->runJavaScript(QString::fromStdU16String(code));
  return true;
}

}  // namespace tarvo::cef
