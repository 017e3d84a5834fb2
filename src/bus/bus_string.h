#pragma once

#include <cstdint>

#include "platform/text.h"

namespace tarvo {

// A counted UTF-16 string in one malloc block: the stored form of a bus key and the
// payload of the URL messages. The block is capacity × 2 + 8 bytes, zero-filled,
// holding the length (code units, no terminator), the capacity (length + 1), the
// units and a terminating zero. Whoever receives one as a payload releases it with
// Free.
struct BusString {
  uint32_t length = 0;
  uint32_t capacity = 0;

  // A new string holding `text`; returns nullptr when memory runs out. A null source
  // gives length 0, capacity 0 and no text.
  static BusString* Create(const char16_t* text);
  static BusString* Create(WStringView text);
  static void Free(BusString* string);
  // Frees through Free, for owning pointers.
  struct Deleter {
    void operator()(BusString* string) const { Free(string); }
  };

  // The text (empty for a string made from a null source).
  WStringView View() const;
  const char16_t* Units() const;
};

static_assert(sizeof(BusString) == 8, "the text follows the two counts directly");

}  // namespace tarvo
