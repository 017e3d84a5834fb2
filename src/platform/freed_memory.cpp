#include "platform/freed_memory.h"

#include <malloc.h>

namespace tarvo {

void ReturnFreedMemory() { malloc_trim(0); }

}  // namespace tarvo
