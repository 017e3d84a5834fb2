#include "engines/cef/create_chromium_browser.h"

#include "engines/cef/cef_browser_host.h"
#include "engines/cef/web_client.h"
#include "platform/text.h"

namespace tarvo {

// Child, visible, clipping children and siblings, tab stop.
constexpr uint32_t kBrowserWindowStyle = 0x56010000;

bool CreateChromiumBrowser(QWidget* parent, const std::string& url) {
  cef::CefWindowInfo info;
  info.SetAsChild(parent, 0, 0, 0, 0);
  info.style = kBrowserWindowStyle;
  const cef::CefBrowserSettings settings;
  return cef::CefBrowserHost::CreateBrowser(info, ClientInstance(), Utf8ToWide(url), settings, nullptr);
}

}  // namespace tarvo
