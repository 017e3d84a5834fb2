#pragma once

namespace tarvo {

// What the running engines keep of the user's browsing, cleared through the engines
// themselves: files deleted under a running engine come back when it writes them
// again, and the engine would go on using what it holds in memory. The history
// feature installs one over the engines' ports when it registers.
// Threads: the GUI thread (the engines' own).
class IEngineData {
 public:
  // Every cookie of both engines (and the compatibility engine's site storage).
  virtual void ClearCookies() = 0;
  // Both engines' HTTP caches and the compatibility engine's memory caches.
  virtual void ClearCache() = 0;
  // The Chromium profile's visited-link marks (they tell which pages were seen).
  virtual void ClearVisitedLinks() = 0;

 protected:
  ~IEngineData() = default;
};

}  // namespace tarvo
