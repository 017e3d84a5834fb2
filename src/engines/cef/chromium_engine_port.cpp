#include "engines/cef/chromium_engine_port.h"

#include "engines/cef/chromium_download_handler.h"
#include "engines/cef/vpn_proxy_engine.h"
#include "engines/cef/web_client.h"
#include "engines/webengine/cef_cookie_manager.h"
#include "engines/webengine/cef_request_context.h"

namespace tarvo {

ChromiumEnginePort::ChromiumEnginePort(const AccountState& account, LoginFormEvents& loginForms) {
  ClientInstance()->SetAccount(&account);
  ClientInstance()->SetLoginFormEvents(&loginForms);
}

ChromiumEnginePort::~ChromiumEnginePort() {
  if (downloads_ != nullptr) ClientInstance()->SetDownloadDelegate(nullptr);
}

void ChromiumEnginePort::HandleDownloads(DownloadManager& downloads, IDownloadPrompts& prompts,
                                         DownloadStarted started) {
  // The download list may still hold the first handler's downloads: a later start in
  // the same process listens again with it.
  if (downloads_ == nullptr) {
    downloads_ = std::make_unique<ChromiumDownloadHandler>(
        downloads, prompts, [started = std::move(started)](int browserId, const WString& url, bool unrecorded) {
          started(ClientInstance()->MainWindowOf(browserId), url, unrecorded);
        });
  }
  downloads_->Attach();
  ClientInstance()->SetDownloadDelegate(downloads_.get());
}

void ChromiumEnginePort::StopDownloads() {
  if (downloads_ == nullptr) return;
  downloads_->KeepUnfinished();
  ClientInstance()->SetDownloadDelegate(nullptr);
}

void ChromiumEnginePort::SetLoginCheck(std::function<bool()> holdsFreshLogin) {
  ClientInstance()->SetLoginCheck(std::move(holdsFreshLogin));
}

IVpnProxyEngine* ChromiumEnginePort::VpnProxy() {
  // Never destroyed: engine callbacks and the account's task queue may use it up to
  // the end. Stateless, so one serves every port.
  static VpnProxyEngine* const proxy = new VpnProxyEngine();
  return proxy;
}

void ChromiumEnginePort::ClearCookies() {
  if (auto cookies = cef::CefCookieManager::GetGlobalManager()) cookies->DeleteCookies({}, {});
}

void ChromiumEnginePort::ClearCache() { cef::CefRequestContext::GetGlobalContext()->ClearHttpCache(); }

void ChromiumEnginePort::ClearVisitedLinks() { cef::CefRequestContext::GetGlobalContext()->ClearVisitedLinks(); }

void ChromiumEnginePort::AddContextMenuEntry(ContextMenuEntry entry) {
  ClientInstance()->AddMenuEntry(std::move(entry));
}

}  // namespace tarvo
