#pragma once
// The compatibility engine's port: its downloads through the engine loader (they
// start with the first compatibility page); no log-in check and no VPN proxy, since
// the engine always keeps the system's proxy settings.
//
// Threads: the GUI thread. Lifetime: start-up's; the loader outlives it.
#include <memory>

#include "shell/pages/i_engine_port.h"

namespace tarvo {

class CompatDownloadHandler;
namespace ie {
class CompatEngineLoader;
}

class CompatEnginePort : public IEnginePort {
 public:
  explicit CompatEnginePort(ie::CompatEngineLoader& engine);
  ~CompatEnginePort() override;

  void HandleDownloads(DownloadManager& downloads, IDownloadPrompts& prompts, DownloadStarted started) override;
  // The engine keeps nothing of an unfinished download across a restart: nothing to do.
  void StopDownloads() override {}
  void SetLoginCheck(std::function<bool()>) override {}
  IVpnProxyEngine* VpnProxy() override { return nullptr; }

 private:
  ie::CompatEngineLoader& engine_;
  std::unique_ptr<CompatDownloadHandler> downloads_;
};

}  // namespace tarvo
