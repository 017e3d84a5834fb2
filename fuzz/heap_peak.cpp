// The replay's counting operator new and delete: every allocation is measured by the
// block malloc gave it, so deletes without a size are counted exactly.
#include "heap_peak.h"

#include <malloc.h>

#include <cstdlib>
#include <new>

namespace tarvo::fuzz {

namespace {

size_t inUse = 0;
size_t peak = 0;
size_t base = 0;

void* Take(size_t size, size_t alignment) {
  void* block = nullptr;
  if (alignment <= alignof(std::max_align_t)) {
    block = std::malloc(size == 0 ? 1 : size);
  } else if (posix_memalign(&block, alignment, size == 0 ? 1 : size) != 0) {
    block = nullptr;
  }
  if (block != nullptr) {
    inUse += malloc_usable_size(block);
    if (inUse > peak) peak = inUse;
  }
  return block;
}

void Give(void* block) {
  if (block == nullptr) return;
  inUse -= malloc_usable_size(block);
  std::free(block);
}

void* TakeOrThrow(size_t size, size_t alignment) {
  if (void* block = Take(size, alignment)) return block;
  throw std::bad_alloc();
}

}  // namespace

void HeapPeak::Reset() {
  base = inUse;
  peak = inUse;
}

std::optional<size_t> HeapPeak::Bytes() { return peak - base; }

}  // namespace tarvo::fuzz

using tarvo::fuzz::Give;
using tarvo::fuzz::Take;
using tarvo::fuzz::TakeOrThrow;

void* operator new(size_t size) { return TakeOrThrow(size, 0); }
void* operator new[](size_t size) { return TakeOrThrow(size, 0); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return Take(size, 0); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return Take(size, 0); }
void* operator new(size_t size, std::align_val_t alignment) { return TakeOrThrow(size, static_cast<size_t>(alignment)); }
void* operator new[](size_t size, std::align_val_t alignment) {
  return TakeOrThrow(size, static_cast<size_t>(alignment));
}
void* operator new(size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  return Take(size, static_cast<size_t>(alignment));
}
void* operator new[](size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  return Take(size, static_cast<size_t>(alignment));
}
void operator delete(void* block) noexcept { Give(block); }
void operator delete[](void* block) noexcept { Give(block); }
void operator delete(void* block, size_t) noexcept { Give(block); }
void operator delete[](void* block, size_t) noexcept { Give(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { Give(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { Give(block); }
void operator delete(void* block, std::align_val_t) noexcept { Give(block); }
void operator delete[](void* block, std::align_val_t) noexcept { Give(block); }
void operator delete(void* block, size_t, std::align_val_t) noexcept { Give(block); }
void operator delete[](void* block, size_t, std::align_val_t) noexcept { Give(block); }
void operator delete(void* block, std::align_val_t, const std::nothrow_t&) noexcept { Give(block); }
void operator delete[](void* block, std::align_val_t, const std::nothrow_t&) noexcept { Give(block); }
