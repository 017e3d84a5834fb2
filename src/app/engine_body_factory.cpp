#include "app/engine_body_factory.h"

#include "engines/cef/create_chromium_browser.h"
#include "engines/cef/web_client.h"
#include "platform/debug_output.h"
#include "shell/commands/post_command.h"
#include "shell/pages/c_body_bar.h"
#include "shell/pages/page.h"

namespace tarvo {

EngineBodyFactory::EngineBodyFactory(Private nothingKept)
    : privateProfile_(std::make_unique<ie::LazyCompatProfile>(nothingKept.compatEngine, ie::CompatProfileOptions{})),
      compatProfile_(*privateProfile_),
      requestContext_(cef::CefRequestContext::CreateOffTheRecordContext()) {}

EngineBodyFactory::~EngineBodyFactory() { Detach(); }

void EngineBodyFactory::Attach(const PageHost& host) {
  host_ = host;
  ClientInstance()->AddHost(host);
  ieEnvironment_ = TabIeBody::Environment{host.bodyBar, host.mainWindow, &compatProfile_, host.pages, loginForms_};
}

void EngineBodyFactory::Detach() {
  if (host_.bodyBar == nullptr) return;
  ClientInstance()->RemoveHost(host_.bodyBar);
  ieEnvironment_ = TabIeBody::Environment{};
  host_ = PageHost{};
}

void EngineBodyFactory::OpenChromiumPage(const WString& url) {
  // A private window whose context could not be made opens nothing rather than an
  // ordinary page that keeps what the user meant to leave no trace of.
  if (host_.bodyBar == nullptr || (IsPrivate() && requestContext_ == nullptr) ||
      !CreateChromiumBrowser(host_.bodyBar->GetWidget(), WideToUtf8(url), requestContext_)) {
    DebugOutput("chromium page not opened: " + WideToUtf8(url));
  }
}

bool EngineBodyFactory::OpenIePage(const WString& url) {
  if (CreateIeBody(ieEnvironment_, url) != nullptr) return true;
  TellIfCompatEngineFailed();
  return false;
}

bool EngineBodyFactory::MakeBodyFor(Page& page) {
  if (page.GetEngineType() == Page::kEngineIe) {
    if (CreateIeBodyFor(ieEnvironment_, page)) return true;
    TellIfCompatEngineFailed();
    return false;
  }
  // A private window's tab woken from sleep stays in the window's own profile.
  if (IsPrivate() && requestContext_ == nullptr) return false;
  return host_.bodyBar != nullptr && CreateChromiumBrowserFor(host_.bodyBar->GetWidget(), page, requestContext_);
}

void EngineBodyFactory::TellIfCompatEngineFailed() const {
  // The reason went to standard error when the engine failed to load; the user hears
  // that the page could not open, and why in a word.
  if (host_.mainWindow != 0 && compatProfile_.Get() == nullptr) {
    PostCommand(host_.mainWindow, Commands::kShowCompatEngineFailed);
  }
}

}  // namespace tarvo
