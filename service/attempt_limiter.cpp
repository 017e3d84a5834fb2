#include "attempt_limiter.h"

namespace tarvo::service {

bool AttemptLimiter::Allows(const std::string& key, int64_t now) {
  std::lock_guard lock(mutex_);
  const auto found = windows_.find(key);
  return found == windows_.end() || now - found->second.start >= windowSeconds_ ||
         found->second.attempts < maxAttempts_;
}

void AttemptLimiter::Count(const std::string& key, int64_t now) {
  std::lock_guard lock(mutex_);
  if (windows_.size() >= kMaxKeys && windows_.find(key) == windows_.end()) {
    std::erase_if(windows_, [&](const auto& entry) { return now - entry.second.start >= windowSeconds_; });
    if (windows_.size() >= kMaxKeys) {
      windows_.clear();
    }
  }
  Window& window = windows_[key];
  if (window.attempts == 0 || now - window.start >= windowSeconds_) {
    window = Window{now, 0};
  }
  ++window.attempts;
}

void AttemptLimiter::Clear(const std::string& key) {
  std::lock_guard lock(mutex_);
  windows_.erase(key);
}

}  // namespace tarvo::service
