#pragma once
// The Chromium engine's port: its downloads through the client's download handler,
// the client's log-in check for the proxy's challenge, and the VPN's proxy as the
// engine's "proxy" preference; clearing through the profile's cookie store and
// request context; the features' menu entries in the client's context menu.
//
// Threads: the GUI thread, except VpnProxy (any). Lifetime: start-up's, for the
// process; the download handler lives as long as the port.
#include <memory>

#include "shell/pages/i_engine_port.h"

namespace tarvo {

class AccountState;
class ChromiumDownloadHandler;
class LoginFormEvents;

class ChromiumEnginePort : public IEnginePort {
 public:
  // `account`: the VPN state the engine's navigations follow; `loginForms`: where its
  // pages report their log-in forms. Both outlive the engine.
  ChromiumEnginePort(const AccountState& account, LoginFormEvents& loginForms);
  ~ChromiumEnginePort() override;

  void HandleDownloads(DownloadManager& downloads, IDownloadPrompts& prompts, DownloadStarted started) override;
  void StopDownloads() override;
  void SetLoginCheck(std::function<bool()> holdsFreshLogin) override;
  IVpnProxyEngine* VpnProxy() override;
  void ClearCookies() override;
  void ClearCache() override;
  void ClearVisitedLinks() override;
  void AddContextMenuEntry(ContextMenuEntry entry) override;

 private:
  std::unique_ptr<ChromiumDownloadHandler> downloads_;
};

}  // namespace tarvo
