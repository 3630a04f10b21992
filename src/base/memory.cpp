#include "base/memory.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

namespace Base {

namespace {
std::atomic<FreeObserver> g_free_observer{nullptr};
}

void* AllocateStorage(size_t bytes) {
    void* storage = std::malloc(bytes);
    if (!storage) {
        throw std::bad_alloc();
    }
    return storage;
}

void FreeStorage(void* storage, size_t bytes) {
    if (!storage) {
        return;
    }
    SecureWipe(storage, bytes);
    if (FreeObserver observer = g_free_observer.load(std::memory_order_acquire)) {
        observer(storage, bytes);
    }
    std::free(storage);
}

void SecureWipe(void* data, size_t bytes) {
    std::memset(data, 0, bytes);
    // The compiler must assume the zeros are read, so it keeps the memset even
    // when the memory is freed next; unlike a volatile loop it stays a memset.
    asm volatile("" : : "r"(data) : "memory");
}

void SetFreeObserverForTesting(FreeObserver observer) {
    g_free_observer.store(observer, std::memory_order_release);
}

}  // namespace Base
