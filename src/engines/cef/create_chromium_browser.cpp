#include "engines/cef/create_chromium_browser.h"

#include <QWidget>

#include "engines/webengine/cef_browser_host.h"
#include "engines/webengine/cef_browser.h"
#include "engines/webengine/cef_request_context.h"
#include "engines/cef/web_client.h"
#include "platform/text.h"
#include "shell/pages/page.h"

namespace tarvo {

// Child, visible, clipping children and siblings, tab stop.
constexpr uint32_t kBrowserWindowStyle = 0x56010000;

namespace {

cef::CefWindowInfo InfoFor(QWidget* parent) {
  cef::CefWindowInfo info;
  // Born at the size it will be shown at: a view sized later lays the page out and
  // allocates its surfaces a second time when the body bar shows it.
  const QRect client = parent != nullptr ? parent->rect() : QRect();
  info.SetAsChild(parent, 0, 0, client.width(), client.height());
  info.style = kBrowserWindowStyle;
  return info;
}

}  // namespace

bool CreateChromiumBrowser(QWidget* parent, const std::string& url, cef::CefRefPtr<cef::CefRequestContext> context) {
  const cef::CefBrowserSettings settings;
  return cef::CefBrowserHost::CreateBrowser(InfoFor(parent), ClientInstance(), Utf8ToWide(url), settings,
                                            std::move(context));
}

bool CreateChromiumBrowserFor(QWidget* parent, Page& page, cef::CefRefPtr<cef::CefRequestContext> context) {
  const cef::CefBrowserSettings settings;
  ClientInstance()->AdoptNextBrowser(&page);
  const bool made = cef::CefBrowserHost::CreateBrowserSync(InfoFor(parent), ClientInstance(), WString(), settings,
                                                           std::move(context)) != nullptr;
  ClientInstance()->AdoptNextBrowser(nullptr);
  return made && page.Body() != nullptr;
}

}  // namespace tarvo
