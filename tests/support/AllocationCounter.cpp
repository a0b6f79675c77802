#include "AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<bool> counting{false};
std::atomic<long> allocations{0};

}  // namespace

// This object file is linked only into programs that use CountedAllocations,
// so only they get these replacements.
void* operator new(std::size_t size) {
    if (counting) ++allocations;
    if (void* memory = std::malloc(size ? size : 1)) return memory;
    throw std::bad_alloc();
}
void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}

namespace kelo::test {

CountedAllocations::CountedAllocations() {
    allocations = 0;
    counting = true;
}

CountedAllocations::~CountedAllocations() {
    counting = false;
}

long CountedAllocations::count() const {
    return allocations;
}

}  // namespace kelo::test
