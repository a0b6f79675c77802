// Counts heap allocations while an instance lives. A test program that uses
// it has the global allocation functions replaced by counting ones.
#pragma once

namespace kelo::test {

class CountedAllocations {
public:
    CountedAllocations();  // starts counting from zero
    ~CountedAllocations();
    CountedAllocations(const CountedAllocations&) = delete;
    CountedAllocations& operator=(const CountedAllocations&) = delete;

    long count() const;
};

}  // namespace kelo::test
