#pragma once
// Clears what the running engines keep, through the engines: the Chromium profile's
// cookie store, HTTP cache and visited links, and through the compatibility engine's
// website-data manager its cookies with the site data beside them (storage,
// databases, service workers) and its caches. The compatibility engine is loaded
// for this only when its folders hold something.
//
// GUI thread only. Lifetime: start-up makes it once the compatibility profile exists
// and drops it before that profile goes.
#include "history/i_engine_data.h"

namespace tarvo {

namespace ie {
class LazyCompatProfile;
}

class EngineDataCleaner : public IEngineData {
 public:
  explicit EngineDataCleaner(ie::LazyCompatProfile& compat) : compat_(compat) {}

  void ClearCookies() override;
  void ClearCache() override;
  void ClearVisitedLinks() override;

 private:
  // Clears `kinds` (ie::CompatData bits) in the compatibility profile and waits for
  // the engine to finish, so nothing is read back from a half-cleared profile.
  void ClearCompat(unsigned kinds);

  ie::LazyCompatProfile& compat_;
};

}  // namespace tarvo
