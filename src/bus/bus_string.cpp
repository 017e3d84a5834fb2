#include "bus/bus_string.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

namespace tarvo {

BusString* BusString::Create(const char16_t* text) {
  if (text == nullptr) {
    void* block = std::calloc(1, sizeof(BusString));
    return block == nullptr ? nullptr : new (block) BusString();
  }
  return Create(WStringView(text));
}

BusString* BusString::Create(WStringView text) {
  if (text.size() >= std::numeric_limits<uint32_t>::max() / 2 - 8) {
    return nullptr;
  }
  const auto capacity = static_cast<uint32_t>(text.size() + 1);
  void* block = std::calloc(1, sizeof(BusString) + static_cast<size_t>(capacity) * sizeof(char16_t));
  if (block == nullptr) {
    return nullptr;
  }
  auto* string = new (block) BusString();
  string->length = static_cast<uint32_t>(text.size());
  string->capacity = capacity;
  std::memcpy(static_cast<char*>(block) + sizeof(BusString), text.data(), text.size() * sizeof(char16_t));
  return string;
}

void BusString::Free(BusString* string) { std::free(string); }

const char16_t* BusString::Units() const {
  return capacity == 0 ? u"" : reinterpret_cast<const char16_t*>(this + 1);
}

WStringView BusString::View() const { return WStringView(Units(), length); }

}  // namespace tarvo
