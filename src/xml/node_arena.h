#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string_view>
#include <vector>

#include "base/string.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#endif

namespace Xml {

// The memory of one document tree: its node records, the names, texts and
// attribute lists the reader made for them, and the text given to the reader
// where records point into it. A parsed document has many small records and
// texts that are made together and mostly die together: taking them from a
// few large slabs, and leaving texts where the reader found them, makes
// building and dropping a tree much cheaper than one heap block each.
//
// Record blocks freed while the tree lives are reused. The arena lives while
// it has a record or a reference from outside pins it (a handle's, which also
// keeps it while the handle's release runs). A tree that dies whole, with no
// other reference left on any record and no record owning memory of its own,
// goes at once (DropAll).
class NodeArena {
public:
    // The first slab is there at once: the first Allocate cannot fail.
    explicit NodeArena(size_t block_size);
    NodeArena(const NodeArena&) = delete;
    NodeArena& operator=(const NodeArena&) = delete;

    // ---- Record blocks.

    void* Allocate();
    // The same for the reader while it builds the tree, which nothing else can
    // reach yet: no lock.
    void* AllocateWhileBuilding() {
        if (free_ || next_ == slab_end_) {
            return TakeBlock();
        }
        void* block = next_;
        next_ += block_size_;
        ++live_blocks_;
        MarkInUse(block, block_size_);
        return block;
    }
    // Takes the block back; the last block unpins the arena.
    void Free(void* block) noexcept;

    // ---- Storage for the reader (while building only), which lives as long
    // as the arena. Text is wiped then.

    // `bytes` rounded up to 8, aligned to 8, for anything but text.
    void* AllocateStorage(size_t bytes) { return lists_.Allocate(bytes); }
    char16_t* AllocateText(size_t length) {
        return static_cast<char16_t*>(texts_.Allocate(length * sizeof(char16_t)));
    }
    char16_t* CopyText(const char16_t* text, size_t length);
    // Text that records point into stays as long as the arena.
    void Keep(BaseString text) { kept_texts_.push_back(std::move(text)); }
    // A string of the tree's own, at an address that stays: for names.
    const BaseString* AddName(std::u16string_view name) { return &names_.emplace_back(name); }

    // ---- Who keeps the tree.

    // For each reference to a record from outside the tree (a handle's).
    void Pin() noexcept { pins_.fetch_add(1, std::memory_order_relaxed); }
    // The last pin deletes the arena.
    void Unpin() noexcept {
        if (pins_.fetch_sub(1, std::memory_order_acq_rel) == 1) {
            delete this;
        }
    }
    // Whether the caller's reference is the only one left from outside: then
    // no other thread can reach the arena.
    bool PinnedByCallerOnly() const noexcept {
        return pins_.load(std::memory_order_acquire) == 2;  // the caller's and the records'
    }
    // Records that hold heap memory of their own (text set after parsing).
    void AddOwner() noexcept { owners_.fetch_add(1, std::memory_order_relaxed); }
    void RemoveOwner() noexcept { owners_.fetch_sub(1, std::memory_order_relaxed); }
    bool HasOwners() const noexcept { return owners_.load(std::memory_order_acquire) != 0; }

    // Frees the whole arena without visiting the records: only when the
    // caller's reference is the only one left and no record owns memory.
    void DropAll() noexcept { delete this; }

private:
    struct FreeBlock {
        FreeBlock* next;
    };
    // Space handed out in order from blocks that go with the arena.
    class Region {
    public:
        explicit Region(bool holds_text) : holds_text_(holds_text) {}
        Region(const Region&) = delete;
        Region& operator=(const Region&) = delete;
        ~Region();

        void* Allocate(size_t bytes) {
            bytes = (bytes + 7) & ~size_t{7};
            if (static_cast<size_t>(end_ - next_) < bytes) {
                AddBlock(bytes);
            }
            void* space = next_;
            next_ += bytes;
            return space;
        }

    private:
        struct Block {
            char* data;
            size_t capacity;
            size_t used;  // set when the next block starts, and at the end
        };
        void AddBlock(size_t at_least);

        const bool holds_text_;  // wiped at the end
        char* next_ = nullptr;   // unused space of the newest block
        char* end_ = nullptr;
        std::vector<Block> blocks_;
    };

    ~NodeArena();
    // Under AddressSanitizer a block out of use may not be touched, as if it
    // had gone back to the heap.
    static void MarkUnused(void* memory, size_t size);
    static void MarkInUse(void* memory, size_t size) {
#if defined(__SANITIZE_ADDRESS__)
        __asan_unpoison_memory_region(memory, size);
#else
        (void)memory;
        (void)size;
#endif
    }
    void* TakeBlock();
    void AddSlab();
    void Lock() noexcept;
    void Unlock() noexcept {
        busy_.clear(std::memory_order_release);
    }

    const size_t block_size_;
    std::atomic_flag busy_;  // guards the record blocks; held for a few instructions
    FreeBlock* free_ = nullptr;
    char* next_ = nullptr;  // unused space of the newest slab
    char* slab_end_ = nullptr;
    size_t live_blocks_ = 0;
    std::vector<void*> slabs_;

    std::atomic<uint32_t> pins_{1};  // one for the records, one for each outside reference
    std::atomic<uint32_t> owners_{0};

    Region texts_{true};
    Region lists_{false};
    std::vector<BaseString> kept_texts_;
    std::deque<BaseString> names_;
};

}  // namespace Xml
