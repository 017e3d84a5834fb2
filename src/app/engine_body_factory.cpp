#include "app/engine_body_factory.h"

#include "engines/cef/create_chromium_browser.h"
#include "engines/cef/web_client.h"
#include "engines/ie/compat_network.h"
#include "engines/ie/tab_ie_body.h"
#include "platform/debug_output.h"
#include "shell/pages/c_body_bar.h"

namespace tarvo {

EngineBodyFactory::EngineBodyFactory(const QString& cookieFolder)
    : network_(std::make_unique<ie::CompatNetwork>(cookieFolder)) {}

EngineBodyFactory::~EngineBodyFactory() { Detach(); }

void EngineBodyFactory::Attach(DuiLib::HWND mainWindow, CBodyBar* bodyBar) {
  bodyBar_ = bodyBar;
  ClientInstance()->SetWindows(mainWindow, bodyBar);
  ieEnvironment_ = TabIeBody::Environment{bodyBar, mainWindow, network_.get()};
}

void EngineBodyFactory::Detach() {
  if (bodyBar_ == nullptr) return;
  ieEnvironment_ = TabIeBody::Environment{};
  ClientInstance()->SetWindows(0, nullptr);
  bodyBar_ = nullptr;
}

void EngineBodyFactory::OpenChromiumPage(const WString& url) {
  if (bodyBar_ == nullptr || !CreateChromiumBrowser(bodyBar_->GetWidget(), WideToUtf8(url))) {
    DebugOutput("chromium page not opened: " + WideToUtf8(url));
  }
}

bool EngineBodyFactory::OpenIePage(const WString& url) { return CreateIeBody(ieEnvironment_, url) != nullptr; }

}  // namespace tarvo
