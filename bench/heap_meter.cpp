#include "heap_meter.h"

#include <malloc.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define HEAP_METER_OFF 1
#endif

namespace {

std::atomic<bool> g_running{false};
std::atomic<int64_t> g_now{0};
std::atomic<int64_t> g_peak{0};

#if !defined(HEAP_METER_OFF)

void Allocated(void* block) {
    if (block && g_running.load(std::memory_order_relaxed)) {
        auto size = static_cast<int64_t>(malloc_usable_size(block));
        int64_t now = g_now.fetch_add(size, std::memory_order_relaxed) + size;
        int64_t peak = g_peak.load(std::memory_order_relaxed);
        while (now > peak && !g_peak.compare_exchange_weak(peak, now, std::memory_order_relaxed)) {
        }
    }
}

void Freeing(void* block) {
    if (block && g_running.load(std::memory_order_relaxed)) {
        g_now.fetch_sub(static_cast<int64_t>(malloc_usable_size(block)), std::memory_order_relaxed);
    }
}

#endif

}  // namespace

#if !defined(HEAP_METER_OFF)

// glibc's own entry points; the definitions below take the place of the public
// names for the whole process, libraries included.
extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* block, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void __libc_free(void* block);

void* malloc(size_t size) noexcept {
    void* block = __libc_malloc(size);
    Allocated(block);
    return block;
}

void* calloc(size_t count, size_t size) noexcept {
    void* block = __libc_calloc(count, size);
    Allocated(block);
    return block;
}

void* realloc(void* block, size_t size) noexcept {
    Freeing(block);
    void* moved = __libc_realloc(block, size);
    Allocated(moved ? moved : (size ? block : nullptr));
    return moved;
}

void free(void* block) noexcept {
    Freeing(block);
    __libc_free(block);
}

void* memalign(size_t alignment, size_t size) noexcept {
    void* block = __libc_memalign(alignment, size);
    Allocated(block);
    return block;
}

void* aligned_alloc(size_t alignment, size_t size) noexcept {
    return memalign(alignment, size);
}

int posix_memalign(void** out, size_t alignment, size_t size) noexcept {
    if (alignment % sizeof(void*) != 0 || (alignment & (alignment - 1)) != 0) {
        return EINVAL;
    }
    void* block = memalign(alignment, size);
    if (!block) {
        return ENOMEM;
    }
    *out = block;
    return 0;
}
}

#endif

namespace HeapMeter {

bool Available() {
#if defined(HEAP_METER_OFF)
    return false;
#else
    return true;
#endif
}

void Start() {
    g_now.store(0, std::memory_order_relaxed);
    g_peak.store(0, std::memory_order_relaxed);
    g_running.store(true, std::memory_order_relaxed);
}

Reading Read() {
    return {g_now.load(std::memory_order_relaxed), g_peak.load(std::memory_order_relaxed)};
}

void Stop() {
    g_running.store(false, std::memory_order_relaxed);
}

}  // namespace HeapMeter
