#include "xml/node_arena.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "base/memory.h"
#include "base/platform.h"

namespace Xml {

namespace {

// Slabs and storage blocks start small, since most documents are small, and
// double up to these.
constexpr size_t kFirstSlabBlocks = 16;
constexpr size_t kLargestSlabBlocks = 4096;
constexpr size_t kFirstStorageBytes = 4096;
constexpr size_t kLargestStorageBytes = 256 << 10;

}  // namespace

void NodeArena::MarkUnused(void* memory, size_t size) {
#if defined(__SANITIZE_ADDRESS__)
    __asan_poison_memory_region(memory, size);
#else
    (void)memory;
    (void)size;
#endif
}

NodeArena::NodeArena(size_t block_size) : block_size_(std::max(block_size, sizeof(FreeBlock))) {
    AddSlab();
}

NodeArena::~NodeArena() {
    for (void* slab : slabs_) {
        ::operator delete(slab);
    }
}

NodeArena::Region::~Region() {
    if (!blocks_.empty()) {
        blocks_.back().used = static_cast<size_t>(next_ - blocks_.back().data);
    }
    for (const Block& block : blocks_) {
        if (holds_text_) {
            // Only the part in use ever held text.
            Base::SecureWipe(block.data, block.used);
        }
        ::operator delete(block.data);
    }
}

void NodeArena::Lock() noexcept {
    while (busy_.test_and_set(std::memory_order_acquire)) {
        Base::YieldThread();
    }
}

void* NodeArena::Allocate() {
    Lock();
    void* block;
    try {
        block = TakeBlock();
    } catch (...) {
        Unlock();
        throw;
    }
    Unlock();
    return block;
}

void* NodeArena::TakeBlock() {
    void* block = free_;
    if (free_) {
        MarkInUse(free_, block_size_);
        free_ = free_->next;
    } else {
        if (next_ == slab_end_) {
            AddSlab();
        }
        block = next_;
        next_ += block_size_;
        MarkInUse(block, block_size_);
    }
    ++live_blocks_;
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
        Unpin();
    }
}

char16_t* NodeArena::CopyText(const char16_t* text, size_t length) {
    char16_t* copy = AllocateText(length);
    std::memcpy(copy, text, length * sizeof(char16_t));
    return copy;
}

void NodeArena::Region::AddBlock(size_t at_least) {
    size_t size = blocks_.empty() ? kFirstStorageBytes
                                  : std::min(kLargestStorageBytes, blocks_.back().capacity * 2);
    size = std::max(size, at_least);
    blocks_.reserve(blocks_.size() + 1);
    char* data = static_cast<char*>(::operator new(size));
    if (!blocks_.empty()) {
        blocks_.back().used = static_cast<size_t>(next_ - blocks_.back().data);
    }
    blocks_.push_back({data, size, 0});
    next_ = data;
    end_ = data + size;
}

}  // namespace Xml
