#pragma once

namespace kelvaron::diag_node
{

// Hands back to the system the memory the allocator holds free. Under publisher churn the node
// frees as much as it allocates, yet glibc keeps the freed pages of its per-thread arenas:
// resident memory then creeps up by about a megabyte an hour while the heap in use stays flat.
// A no-op where the C library offers no such call.
void returnFreeMemory();

}  // namespace kelvaron::diag_node
