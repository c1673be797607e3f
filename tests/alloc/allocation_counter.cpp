// Replacements of the global allocation functions that count while armed. In a file of their
// own, so no caller sees their bodies and no pairing of new with free is inlined anywhere.
#include "tests/alloc/allocation_counter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<bool> gCounting{false};
std::atomic<long> gAllocations{0};

void* counted(std::size_t size) noexcept {
  if (gCounting.load(std::memory_order_relaxed)) gAllocations.fetch_add(1);
  return std::malloc(size ? size : 1);
}
void* countedOrThrow(std::size_t size) {
  if (void* p = counted(size)) return p;
  throw std::bad_alloc();
}
} // namespace

namespace alloccount {
Counting::Counting() {
  gAllocations = 0;
  gCounting = true;
}
Counting::~Counting() {
  gCounting = false;
}
long Counting::count() const {
  return gAllocations.load();
}
} // namespace alloccount

void* operator new(std::size_t size) {
  return countedOrThrow(size);
}
void* operator new[](std::size_t size) {
  return countedOrThrow(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return counted(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return counted(size);
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete[](void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
  std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
  std::free(p);
}
