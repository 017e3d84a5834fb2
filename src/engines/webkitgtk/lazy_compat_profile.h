#pragma once

#include <memory>

#include "engines/webkitgtk/compat_engine.h"

namespace tarvo::ie {

class CompatEngineLoader;

// A compatibility profile that is made, and the engine loaded, only when a page or a
// clearing first needs it: the ordinary windows share one for the browser's data
// folder, each private window holds one that keeps nothing.
// Lifetime: outlives the compatibility bodies made in it; the loader outlives it.
// Threads: GUI thread only.
class LazyCompatProfile {
 public:
  LazyCompatProfile(CompatEngineLoader& loader, CompatProfileOptions options)
      : loader_(loader), options_(std::move(options)) {}
  LazyCompatProfile(const LazyCompatProfile&) = delete;
  LazyCompatProfile& operator=(const LazyCompatProfile&) = delete;

  // The profile, made now if need be; nullptr when the engine cannot be loaded.
  CompatProfile* Get();
  // The profile if it has been made; never loads the engine.
  CompatProfile* IfMade() const { return profile_.get(); }
  bool IsPrivate() const { return options_.dataFolder.isEmpty(); }
  // Whether the profile keeps anything on disk yet (a folder that exists and is not
  // empty), so clearing it is worth loading the engine for.
  bool HasStoredData() const;
  CompatEngineLoader& Loader() const { return loader_; }

 private:
  CompatEngineLoader& loader_;
  const CompatProfileOptions options_;
  std::unique_ptr<CompatProfile> profile_;
};

}  // namespace tarvo::ie
