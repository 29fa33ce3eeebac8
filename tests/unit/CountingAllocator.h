#pragma once
#include <cstddef>

// The test program replaces the global operator new with one that counts its calls (see
// CountingAllocator.cpp), so a test can prove that a piece of code allocates nothing.
size_t GlobalAllocationCount();

// Allocations made since construction.
class AllocationCounter {
public:
    AllocationCounter() : start_(GlobalAllocationCount()) {}
    size_t Count() const { return GlobalAllocationCount() - start_; }

private:
    size_t start_;
};
