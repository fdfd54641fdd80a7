#include "free_memory.hpp"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace kelvaron::diag_node
{

void returnFreeMemory()
{
#if defined(__GLIBC__)
  // Trims every arena, not only the main one, and releases whole free pages inside them too.
  malloc_trim(0);
#endif
}

}  // namespace kelvaron::diag_node
