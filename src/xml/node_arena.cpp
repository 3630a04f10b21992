#include "xml/node_arena.h"

#include <algorithm>
#include <new>

#include "base/platform.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#endif

namespace Xml {

namespace {

// Under AddressSanitizer a block out of use may not be touched, as if it had
// gone back to the heap.
void MarkUnused(void* memory, size_t size) {
#if defined(__SANITIZE_ADDRESS__)
    __asan_poison_memory_region(memory, size);
#else
    (void)memory;
    (void)size;
#endif
}

void MarkInUse(void* memory, size_t size) {
#if defined(__SANITIZE_ADDRESS__)
    __asan_unpoison_memory_region(memory, size);
#else
    (void)memory;
    (void)size;
#endif
}

// Slabs start small, since most documents are small, and double up to this.
constexpr size_t kFirstSlabBlocks = 16;
constexpr size_t kLargestSlabBlocks = 4096;

}  // namespace

NodeArena::NodeArena(size_t block_size) : block_size_(std::max(block_size, sizeof(FreeBlock))) {
    AddSlab();
}

NodeArena::~NodeArena() {
    for (void* slab : slabs_) {
        ::operator delete(slab);
    }
}

void NodeArena::Lock() noexcept {
    while (busy_.test_and_set(std::memory_order_acquire)) {
        Base::YieldThread();
    }
}

void* NodeArena::Allocate() {
    Lock();
    void* block = free_;
    if (free_) {
        MarkInUse(free_, block_size_);
        free_ = free_->next;
    } else {
        if (next_ == slab_end_) {
            try {
                AddSlab();
            } catch (...) {
                Unlock();
                throw;
            }
        }
        block = next_;
        next_ += block_size_;
        MarkInUse(block, block_size_);
    }
    ++live_blocks_;
    Unlock();
    return block;
}

void NodeArena::AddSlab() {
    size_t blocks =
        std::min(kLargestSlabBlocks, kFirstSlabBlocks << std::min<size_t>(slabs_.size(), 8));
    slabs_.reserve(slabs_.size() + 1);
    next_ = static_cast<char*>(::operator new(blocks* block_size_));
    slabs_.push_back(next_);
    slab_end_ = next_ + blocks * block_size_;
    MarkUnused(next_, blocks * block_size_);
}

void NodeArena::Free(void* block) noexcept {
    Lock();
    auto* freed = static_cast<FreeBlock*>(block);
    freed->next = free_;
    free_ = freed;
    MarkUnused(freed, block_size_);
    bool last = --live_blocks_ == 0;
    Unlock();
    if (last) {
        delete this;
    }
}

}  // namespace Xml
