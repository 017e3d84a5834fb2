#include "app/engine_body_factory.h"

#include "engines/cef/create_chromium_browser.h"
#include "engines/cef/web_client.h"
#include "platform/debug_output.h"
#include "shell/pages/c_body_bar.h"
#include "shell/pages/page.h"

namespace tarvo {

EngineBodyFactory::~EngineBodyFactory() { Detach(); }

void EngineBodyFactory::Attach(const PageHost& host) {
  host_ = host;
  ClientInstance()->AddHost(host);
  ieEnvironment_ = TabIeBody::Environment{host.bodyBar, host.mainWindow, &network_, host.pages};
}

void EngineBodyFactory::Detach() {
  if (host_.bodyBar == nullptr) return;
  ClientInstance()->RemoveHost(host_.bodyBar);
  ieEnvironment_ = TabIeBody::Environment{};
  host_ = PageHost{};
}

void EngineBodyFactory::OpenChromiumPage(const WString& url) {
  if (host_.bodyBar == nullptr || !CreateChromiumBrowser(host_.bodyBar->GetWidget(), WideToUtf8(url))) {
    DebugOutput("chromium page not opened: " + WideToUtf8(url));
  }
}

bool EngineBodyFactory::OpenIePage(const WString& url) { return CreateIeBody(ieEnvironment_, url) != nullptr; }

bool EngineBodyFactory::MakeBodyFor(Page& page) {
  if (page.GetEngineType() == Page::kEngineIe) return CreateIeBodyFor(ieEnvironment_, page);
  return host_.bodyBar != nullptr && CreateChromiumBrowserFor(host_.bodyBar->GetWidget(), page);
}

}  // namespace tarvo
