#pragma once
// Clears what the running engines keep, through the engines: the Chromium profile's
// cookie store, HTTP cache and visited links, and the compatibility engine's cookie
// jar, memory caches and remembered log-ins.
//
// GUI thread only. Lifetime: start-up makes it once the compatibility engine's
// network exists and drops it before that network goes.
#include "history/i_engine_data.h"

namespace tarvo {

namespace ie {
class CompatNetwork;
}

class EngineDataCleaner : public IEngineData {
 public:
  explicit EngineDataCleaner(ie::CompatNetwork& compat) : compat_(compat) {}

  void ClearCookies() override;
  void ClearCache() override;
  void ClearVisitedLinks() override;
  void ClearCredentials() override;

 private:
  ie::CompatNetwork& compat_;
};

}  // namespace tarvo
