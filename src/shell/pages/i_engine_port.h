#pragma once
// What the features ask of an engine, in one place: where its downloads go, when the
// proxy's log-in challenge may be answered, how the VPN's proxy reaches it,
// clearing what it keeps of the user's browsing, and the entries features add to
// its pages' context menu. Each
// engine implements it; start-up hands the features the engines' ports once (see
// FeatureHooks), so a feature never includes an engine. It sits with the page model,
// below the engines, for the same reason the body interface does.
//
// Threads: the GUI thread (the engines' own), unless a method says otherwise.
// Lifetime: made by start-up before the features register; kept until the process
// ends, since the download list may still report to the engine's downloads.
#include <functional>

#include "platform/text.h"
#include "shell/pages/context_menu_entry.h"
#include "ui/ui_defs.h"

namespace tarvo {

class DownloadManager;
class IDownloadPrompts;
class IVpnProxyEngine;

class IEnginePort {
 public:
  // Told once a download of the engine has been accepted: the main window it started
  // in (null when none is known), its URL and whether it is kept out of the records
  // (a private window's).
  using DownloadStarted = std::function<void(DuiLib::HWND mainWindow, const WString& url, bool unrecorded)>;

  virtual ~IEnginePort() = default;

  // From now on the engine's downloads go to `downloads`, whose questions `prompts`
  // asks; `started` hears of each one accepted. At start-up, before the engine
  // starts; a later call (another start in the same process) keeps the first call's
  // list, prompts and listener, which must outlive the engine's downloads.
  virtual void HandleDownloads(DownloadManager& downloads, IDownloadPrompts& prompts, DownloadStarted started) = 0;
  // At the browser's end, while the engine still runs: the bytes of every unfinished
  // download are kept for the next start, and the engine's later reports (its own
  // shut-down) reach the download list no more.
  virtual void StopDownloads() = 0;
  // The proxy's credentials are given only while `holdsFreshLogin` says the login is
  // still valid, asked on the GUI thread. An engine that never uses the VPN's proxy
  // ignores it.
  virtual void SetLoginCheck(std::function<bool()> holdsFreshLogin) = 0;
  // The VPN's way into the engine's proxy, or nullptr for an engine that keeps the
  // system's proxy settings whatever the VPN does. Never destroyed once handed out:
  // the account's task thread may use it up to the process's end.
  virtual IVpnProxyEngine* VpnProxy() = 0;

  // What the engine keeps of the user's browsing, cleared through the engine itself:
  // files deleted under a running engine come back when it writes them again. Each
  // returns once the engine has finished (or given up), so nothing is read back from
  // a half-cleared profile.
  // Every cookie, and the site data an engine clears along with them.
  virtual void ClearCookies() = 0;
  // The HTTP cache and the memory caches.
  virtual void ClearCache() = 0;
  // The visited-link marks (they tell which pages were seen), where the engine keeps any.
  virtual void ClearVisitedLinks() = 0;
  // Adds `entry` to the context menu of the engine's pages, after those added before;
  // an entry of the same label replaces it (another start in the same process). An
  // engine that shows its own menu ignores it.
  virtual void AddContextMenuEntry(ContextMenuEntry entry) = 0;
};

}  // namespace tarvo
