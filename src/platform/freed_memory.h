#pragma once

namespace tarvo {

// Hands memory the process has freed back to the system. The C library keeps freed
// heap pages for later use, so the memory of discarded pages would still count
// against the process until something else reused it. Walks the heap: call it
// after large frees (a batch of discarded tabs), not often. Any thread.
void ReturnFreedMemory();

}  // namespace tarvo
