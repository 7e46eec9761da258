#include "platform/large_blocks.h"

#include <malloc.h>
#include <mutex>

namespace parvex {

void GiveLargeBlocksBack() {
    static std::once_flag once;
    std::call_once(once, [] { ::mallopt(M_MMAP_THRESHOLD, 1 << 20); });
}

} // namespace parvex
