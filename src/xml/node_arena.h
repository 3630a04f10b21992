#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace Xml {

// The memory of the node records of one document tree. A parsed document has
// many small records that are made together and mostly die together: taking
// them from a few large slabs instead of one heap block each makes building
// and dropping a tree much cheaper. Blocks freed while the tree lives are
// reused; the slabs go back to the heap when the last block does.
class NodeArena {
public:
    // The first slab is there at once: the first Allocate cannot fail.
    explicit NodeArena(size_t block_size);
    NodeArena(const NodeArena&) = delete;
    NodeArena& operator=(const NodeArena&) = delete;

    void* Allocate();
    // Takes the block back; the arena deletes itself with its last block.
    void Free(void* block) noexcept;

private:
    struct FreeBlock {
        FreeBlock* next;
    };

    ~NodeArena();
    void AddSlab();
    void Lock() noexcept;
    void Unlock() noexcept { busy_.clear(std::memory_order_release); }

    const size_t block_size_;
    std::atomic_flag busy_;  // guards everything below; held for a few instructions
    FreeBlock* free_ = nullptr;
    char* next_ = nullptr;  // unused space of the newest slab
    char* slab_end_ = nullptr;
    size_t live_blocks_ = 0;
    std::vector<void*> slabs_;
};

}  // namespace Xml
