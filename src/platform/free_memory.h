#pragma once

namespace parvex {

/// Gives the memory the allocator holds free back to the system, so that a large structure that
/// was freed stops counting against the process. Takes a moment: call it after large frees only.
void ReturnFreeMemory();

} // namespace parvex
