#pragma once

namespace tarvo {

// What the running engines keep of the user's browsing, cleared through the engines
// themselves: files deleted under a running engine come back when it writes them
// again, and the engine would go on using what it holds in memory. Start-up installs
// the implementation once the engines run.
// Threads: the GUI thread (the engines' own).
class IEngineData {
 public:
  // Every cookie of the Chromium profile and of the compatibility engine's jar.
  virtual void ClearCookies() = 0;
  // The Chromium profile's HTTP cache and the compatibility engine's memory caches.
  virtual void ClearCache() = 0;
  // The Chromium profile's visited-link marks (they tell which pages were seen).
  virtual void ClearVisitedLinks() = 0;
  // The HTTP log-ins the engines remember for the session (the compatibility
  // engine's; Qt WebEngine 5.15 offers no call for its own, which end with the
  // process).
  virtual void ClearCredentials() = 0;

 protected:
  ~IEngineData() = default;
};

}  // namespace tarvo
