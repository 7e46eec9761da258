#include "platform/free_memory.h"

#include <malloc.h>

namespace parvex {

void ReturnFreeMemory() {
    // The allocator keeps freed pages of its arenas; every thread's arena is trimmed.
    ::malloc_trim(0);
}

} // namespace parvex
