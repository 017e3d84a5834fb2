#include "engines/cef/create_chromium_browser.h"

#include <QWidget>

#include "engines/cef/cef_browser_host.h"
#include "engines/cef/cef_request_context.h"
#include "engines/cef/web_client.h"
#include "platform/text.h"

namespace tarvo {

// Child, visible, clipping children and siblings, tab stop.
constexpr uint32_t kBrowserWindowStyle = 0x56010000;

bool CreateChromiumBrowser(QWidget* parent, const std::string& url, cef::CefRefPtr<cef::CefRequestContext> context) {
  cef::CefWindowInfo info;
  // Born at the size it will be shown at: a view sized later lays the page out and
  // allocates its surfaces a second time when the body bar shows it.
  const QRect client = parent != nullptr ? parent->rect() : QRect();
  info.SetAsChild(parent, 0, 0, client.width(), client.height());
  info.style = kBrowserWindowStyle;
  const cef::CefBrowserSettings settings;
  return cef::CefBrowserHost::CreateBrowser(info, ClientInstance(), Utf8ToWide(url), settings, std::move(context));
}

}  // namespace tarvo
