#pragma once
// The compatibility engine's port: its downloads through the engine loader (they
// start with the first compatibility page); no log-in check and no VPN proxy, since
// the engine always keeps the system's proxy settings. Clearing goes through the
// ordinary windows' profile, and loads the engine only when that profile's folders
// hold something.
//
// Threads: the GUI thread. Lifetime: start-up's; the loader outlives it.
#include <functional>
#include <memory>

#include "shell/pages/i_engine_port.h"

namespace tarvo {

class CompatDownloadHandler;
namespace ie {
class CompatEngineLoader;
class LazyCompatProfile;
}  // namespace ie

class CompatEnginePort : public IEnginePort {
 public:
  // `ordinaryProfile` answers the ordinary windows' profile, or nullptr while there
  // is none (before the first window, after the last): then nothing is cleared.
  CompatEnginePort(ie::CompatEngineLoader& engine, std::function<ie::LazyCompatProfile*()> ordinaryProfile);
  ~CompatEnginePort() override;

  void HandleDownloads(DownloadManager& downloads, IDownloadPrompts& prompts, DownloadStarted started) override;
  // The engine keeps nothing of an unfinished download across a restart: nothing to do.
  void StopDownloads() override {}
  void SetLoginCheck(std::function<bool()>) override {}
  IVpnProxyEngine* VpnProxy() override { return nullptr; }
  // Cookies with the site data beside them (storage, databases, service workers).
  void ClearCookies() override;
  void ClearCache() override;
  // The engine keeps no visited-link marks on disk.
  void ClearVisitedLinks() override {}
  // The engine shows its own menu (without its history items): nothing is added.
  void AddContextMenuEntry(ContextMenuEntry) override {}

 private:
  // Clears `kinds` (ie::CompatData bits) and waits for the engine to finish.
  void Clear(unsigned kinds);

  ie::CompatEngineLoader& engine_;
  std::function<ie::LazyCompatProfile*()> ordinaryProfile_;
  std::unique_ptr<CompatDownloadHandler> downloads_;
};

}  // namespace tarvo
