#include "net/body_buffer.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "net/http_interface_error.h"

namespace tarvo {

namespace {

constexpr size_t kMaxBody = std::numeric_limits<uint32_t>::max();

}  // namespace

BodyBuffer::BodyBuffer(std::optional<uint64_t> size) : fixed_(size.has_value()) {
  if (size && *size > kMaxBody) {
    throw kHttpErrorReadBody;
  }
  capacity_ = size ? static_cast<size_t>(*size) : 0;
  // malloc(0) may return null; one spare byte keeps the pointer valid for empty bodies.
  data_.reset(static_cast<uint8_t*>(std::malloc(capacity_ + 1)));
  if (!data_) {
    throw kHttpErrorReadBody;
  }
}

void BodyBuffer::Append(std::string_view data) {
  if (data.size() > capacity_ - size_) {
    if (fixed_ || data.size() > kMaxBody - size_) {
      throw kHttpErrorReadBody;
    }
    const size_t grown = std::min(kMaxBody, std::max(size_ + data.size(), capacity_ * 2));
    auto* moved = static_cast<uint8_t*>(std::realloc(data_.get(), grown + 1));
    if (moved == nullptr) {
      throw kHttpErrorReadBody;
    }
    static_cast<void>(data_.release());
    data_.reset(moved);
    capacity_ = grown;
  }
  std::memcpy(data_.get() + size_, data.data(), data.size());
  size_ += data.size();
}

void BodyBuffer::Release(uint8_t** outBuffer, uint32_t* outLength) {
  *outLength = static_cast<uint32_t>(size_);
  *outBuffer = data_.release();
}

}  // namespace tarvo
