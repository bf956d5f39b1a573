// The test program's own operator new and delete: plain malloc and free, with freed
// blocks overwritten while a FreedMemoryPoison lives.
#include "FreedMemory.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {
std::atomic<int> poisoning{0};
}  // namespace

void* operator new(std::size_t n) {
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}

void* operator new[](std::size_t n) {
  return operator new(n);
}

void operator delete(void* p) noexcept {
  if (p && poisoning > 0) std::memset(p, 0xDD, _msize(p));
  std::free(p);
}

void operator delete[](void* p) noexcept {
  operator delete(p);
}
void operator delete(void* p, std::size_t) noexcept {
  operator delete(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  operator delete(p);
}

namespace testing_support {

FreedMemoryPoison::FreedMemoryPoison() {
  ++poisoning;
}
FreedMemoryPoison::~FreedMemoryPoison() {
  --poisoning;
}

}  // namespace testing_support
