#include "allocator_policy.hpp"

#include <cstdlib>
#include <cstring>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace kelvaron::diag_node
{

void limitAllocatorArenas()
{
#if defined(__GLIBC__)
  const char * tunables = std::getenv("GLIBC_TUNABLES");
  const bool user_chose = std::getenv("MALLOC_ARENA_MAX") != nullptr ||
                          (tunables != nullptr && std::strstr(tunables, "arena_max") != nullptr);
  if (!user_chose) {
    mallopt(M_ARENA_MAX, 2);
  }
#endif
}

void returnFreeMemory()
{
#if defined(__GLIBC__)
  // Trims every arena, not only the main one, and releases whole free pages inside them too.
  malloc_trim(0);
#endif
}

}  // namespace kelvaron::diag_node
