#pragma once

// Counts the heap memory held through operator new in this process (usable size, as malloc
// hands it out). Linked only into the memory benchmark, which replaces operator new with it.

#include <cstdint>

namespace kelvaron_bench
{

int64_t liveHeapBytes();
int64_t heapAllocations();

}  // namespace kelvaron_bench
