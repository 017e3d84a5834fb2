#pragma once

#include <functional>
#include <utility>

namespace tarvo::service {

// Something held until this object goes: its release runs once, when the object is
// destroyed or assigned over. Move-only; empty when default-made or moved from.
class ScopedRelease {
 public:
  ScopedRelease() = default;
  explicit ScopedRelease(std::function<void()> release) : release_(std::move(release)) {}
  ScopedRelease(ScopedRelease&& other) noexcept : release_(std::exchange(other.release_, nullptr)) {}
  ScopedRelease& operator=(ScopedRelease&& other) noexcept {
    if (this != &other) {
      Release();
      release_ = std::exchange(other.release_, nullptr);
    }
    return *this;
  }
  ScopedRelease(const ScopedRelease&) = delete;
  ScopedRelease& operator=(const ScopedRelease&) = delete;
  ~ScopedRelease() { Release(); }

  bool held() const { return static_cast<bool>(release_); }

 private:
  void Release() {
    if (release_) {
      std::exchange(release_, nullptr)();
    }
  }

  std::function<void()> release_;
};

}  // namespace tarvo::service
