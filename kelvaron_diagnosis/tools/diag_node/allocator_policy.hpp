#pragma once

namespace kelvaron::diag_node
{

// Caps glibc's malloc arenas at two, unless the user chose a cap (MALLOC_ARENA_MAX or a
// GLIBC_TUNABLES arena_max). glibc opens a new arena, up to eight per core, whenever a thread
// finds the others busy; under publisher churn the DDS threads contend now and then, and each
// new arena is another heap whose free pages stay resident: the node's memory rose in steps of
// about a megabyte over an hour while the heap in use stayed flat. Call before any thread starts.
// A no-op where the C library offers no such setting.
void limitAllocatorArenas();

// Hands back to the system the memory the allocator holds free. Under publisher churn the node
// frees as much as it allocates, yet glibc keeps the freed pages of its arenas resident.
// A no-op where the C library offers no such call.
void returnFreeMemory();

}  // namespace kelvaron::diag_node
