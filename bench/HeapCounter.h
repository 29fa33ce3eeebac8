#pragma once
#include <cstddef>

// The benchmark program's global operator new and delete count the heap in use and its
// high-water mark (see HeapCounter.cpp): an atomic add per allocation for every benchmark.
size_t HeapInUse();
size_t HeapPeak();
// Starts a new high-water mark from the heap in use now.
void ResetHeapPeak();
