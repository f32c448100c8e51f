// The test binary's `operator new` notes the largest request, so tests can see that a header
// alone never makes a reader allocate much. Kept in a file of its own so that no allocation is
// inlined next to the replacement.
#include <atomic>
#include <cstdlib>
#include <new>

#include "PictureFixtures.h"

namespace {

std::atomic<std::size_t> g_largestAllocation{0};

void NoteAllocation(std::size_t size) {
    std::size_t seen = g_largestAllocation.load(std::memory_order_relaxed);
    while (size > seen && !g_largestAllocation.compare_exchange_weak(seen, size, std::memory_order_relaxed)) {
    }
}

}  // namespace

void* operator new(std::size_t size) {
    NoteAllocation(size);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace pixadra::testing {

LargestAllocation::LargestAllocation() {
    g_largestAllocation.store(0);
}
std::size_t LargestAllocation::Bytes() const {
    return g_largestAllocation.load();
}

}  // namespace pixadra::testing
