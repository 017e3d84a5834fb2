#include "engines/webkitgtk/lazy_compat_profile.h"

#include <QDir>

#include "engines/webkitgtk/compat_engine_loader.h"

namespace tarvo::ie {

namespace {
bool HasEntries(const QString& folder) {
  return !folder.isEmpty() && !QDir(folder).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}
}  // namespace

CompatProfile* LazyCompatProfile::Get() {
  if (profile_ == nullptr) {
    if (CompatEngine* engine = loader_.Engine()) profile_ = engine->CreateProfile(options_);
  }
  return profile_.get();
}

bool LazyCompatProfile::HasStoredData() const {
  return HasEntries(options_.dataFolder) || HasEntries(options_.cacheFolder);
}

}  // namespace tarvo::ie
