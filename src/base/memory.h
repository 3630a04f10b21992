#pragma once

#include <cstddef>

namespace Base {

// Storage for text and bytes. Everything handed back is overwritten with zeros
// before it returns to the heap, so no text outlives its owner in memory.
void* AllocateStorage(size_t bytes);
void FreeStorage(void* storage, size_t bytes);

// Overwrites memory with zeros in a way the compiler may not drop.
void SecureWipe(void* data, size_t bytes);

// Tests watch freed storage through this hook: it sees the storage after the
// wipe and before the heap takes it back.
using FreeObserver = void (*)(const void* storage, size_t bytes);
void SetFreeObserverForTesting(FreeObserver observer);

}  // namespace Base
