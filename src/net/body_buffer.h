#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string_view>

namespace tarvo {

// The heap buffer an in-memory download fills and hands to its caller, who frees it
// with free(). Never written past its end: with a fixed size (the announced length) a
// body that runs longer fails. Failures are thrown as HttpInterfaceError values. Used by
// one thread.
class BodyBuffer {
 public:
  // A fixed buffer of exactly `size` bytes, or (nullopt) one that grows as data comes,
  // up to 4 GiB - 1.
  explicit BodyBuffer(std::optional<uint64_t> size);

  // Appends bytes; throws kHttpErrorReadBody when they do not fit.
  void Append(std::string_view data);
  size_t size() const { return size_; }
  // True for a fixed buffer that has not received its whole announced length.
  bool shortOfLength() const { return fixed_ && size_ < capacity_; }

  // Hands the bytes to the caller (a non-null pointer, also for an empty body).
  void Release(uint8_t** outBuffer, uint32_t* outLength);

 private:
  struct FreeDeleter {
    void operator()(uint8_t* data) const { std::free(data); }
  };

  std::unique_ptr<uint8_t, FreeDeleter> data_;
  size_t size_ = 0;
  size_t capacity_ = 0;
  bool fixed_ = false;
};

}  // namespace tarvo
