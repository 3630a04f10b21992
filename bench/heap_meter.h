#pragma once

// Heap use of a stretch of code: every malloc, calloc, realloc, aligned
// allocation and free of the process (the C++ operators and every library
// included) is counted by the usable size of its block while the meter runs.
// The same count for every parser that a benchmark compares.
#include <cstdint>

namespace HeapMeter {

// False in builds whose sanitizer owns the allocator: nothing is counted.
bool Available();

// Starts counting from zero.
void Start();

// Bytes in use now and at most since Start, above the level at Start.
struct Reading {
    int64_t now;
    int64_t peak;
};
Reading Read();

void Stop();

}  // namespace HeapMeter
