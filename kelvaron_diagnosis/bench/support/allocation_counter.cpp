#include "support/allocation_counter.hpp"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace kelvaron_bench
{
namespace
{

std::atomic<int64_t> g_live_bytes{0};
std::atomic<int64_t> g_allocations{0};

void * allocate(std::size_t size) noexcept
{
  void * memory = std::malloc(size == 0 ? 1 : size);
  if (memory != nullptr) {
    g_live_bytes.fetch_add(
      static_cast<int64_t>(malloc_usable_size(memory)), std::memory_order_relaxed);
    g_allocations.fetch_add(1, std::memory_order_relaxed);
  }
  return memory;
}

void release(void * memory) noexcept
{
  if (memory == nullptr) {
    return;
  }
  g_live_bytes.fetch_sub(
    static_cast<int64_t>(malloc_usable_size(memory)), std::memory_order_relaxed);
  std::free(memory);
}

}  // namespace

int64_t liveHeapBytes() { return g_live_bytes.load(); }
int64_t heapAllocations() { return g_allocations.load(); }

}  // namespace kelvaron_bench

void * operator new(std::size_t size)
{
  if (void * memory = kelvaron_bench::allocate(size)) {
    return memory;
  }
  throw std::bad_alloc();
}

void * operator new[](std::size_t size) { return operator new(size); }

void * operator new(std::size_t size, const std::nothrow_t &) noexcept
{
  return kelvaron_bench::allocate(size);
}

void * operator new[](std::size_t size, const std::nothrow_t &) noexcept
{
  return kelvaron_bench::allocate(size);
}

void operator delete(void * memory) noexcept { kelvaron_bench::release(memory); }
void operator delete[](void * memory) noexcept { kelvaron_bench::release(memory); }
void operator delete(void * memory, std::size_t) noexcept { kelvaron_bench::release(memory); }
void operator delete[](void * memory, std::size_t) noexcept { kelvaron_bench::release(memory); }
void operator delete(void * memory, const std::nothrow_t &) noexcept
{
  kelvaron_bench::release(memory);
}
void operator delete[](void * memory, const std::nothrow_t &) noexcept
{
  kelvaron_bench::release(memory);
}
