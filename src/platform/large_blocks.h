#pragma once

namespace parvex {

/// Has the allocator map every block of 1 MiB or more from the system on its own, so that
/// freeing one gives its memory back at once. Left alone, the allocator raises that size as
/// large blocks are freed and then keeps such blocks after they are freed. Once per process;
/// later calls do nothing.
void GiveLargeBlocksBack();

} // namespace parvex
