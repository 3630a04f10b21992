#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "base/string.h"
#include "xml/node_arena.h"

namespace Xml {

// Eight units of a name, the units past its end zero: names are compared and
// hashed a block at a time.
struct NameBlock {
    static constexpr size_t kUnits = 8;

    uint64_t low;
    uint64_t high;

    bool operator==(const NameBlock&) const = default;

    // The first `units` (at most eight) units at `text`, of which eight may be
    // read: one load and a mask.
    static NameBlock LoadMasked(const char16_t* text, size_t units);
    // The same where fewer may be read.
    static NameBlock Load(const char16_t* text, size_t units, size_t readable) {
        if (readable >= kUnits) {
            return LoadMasked(text, units);
        }
        NameBlock block{0, 0};
        std::memcpy(&block, text, units * sizeof(char16_t));
        return block;
    }
};

// The masks that keep the first 0 to 8 units of a block.
inline constexpr std::array<NameBlock, NameBlock::kUnits + 1> kNameBlockMasks = [] {
    std::array<NameBlock, NameBlock::kUnits + 1> masks{};
    for (size_t units = 0; units <= NameBlock::kUnits; ++units) {
        for (size_t unit = 0; unit < units; ++unit) {
            (unit < 4 ? masks[units].low : masks[units].high) |= 0xFFFFull << (unit % 4 * 16);
        }
    }
    return masks;
}();

inline NameBlock NameBlock::LoadMasked(const char16_t* text, size_t units) {
    NameBlock block;
    std::memcpy(&block, text, sizeof block);
    const NameBlock& mask = kNameBlockMasks[units];
    return {block.low & mask.low, block.high & mask.high};
}

// A name of a document: the string that the tree shares, and the name in
// blocks (its first one inline).
struct Name {
    const BaseString* shared;
    NameBlock first;
    const char16_t* padded;  // the whole name, padded with zeros to whole blocks
    uint32_t length;
    uint32_t hash;
    uint64_t order;  // the first four units, the first one highest
    // The name the reader read after this one, the last time: its guess for
    // the next time.
    mutable const Name* next;

    // Ordinal order of the 16-bit units, mostly decided by `order`.
    bool operator<(const Name& other) const {
        if (order != other.order) {
            return order < other.order;
        }
        return shared->view() < other.shared->view();
    }

    // Whether the `length` units at `text` are this name; `readable` units may
    // be read from `text` on (at least `length`).
    bool Is(const char16_t* text, size_t length, size_t readable) const {
        if (length != this->length) {
            return false;
        }
        if (length <= NameBlock::kUnits && readable >= NameBlock::kUnits) {
            return NameBlock::LoadMasked(text, length) == first;
        }
        return IsLong(text, readable);
    }

private:
    bool IsLong(const char16_t* text, size_t readable) const;
};

// The names met while reading one document, each stored once in the tree's
// arena: the elements and attributes of a repeated name share one string.
class NameTable {
public:
    explicit NameTable(NodeArena& arena);

    // The stored name equal to the `length` units at `text`, stored now if it
    // is new; `readable` units may be read from `text` on (at least `length`).
    const Name* Intern(const char16_t* text, size_t length, size_t readable) {
        // Most names are short and lie well inside the text: one block.
        if (length <= NameBlock::kUnits && readable >= NameBlock::kUnits) {
            NameBlock block = NameBlock::LoadMasked(text, length);
            uint32_t hash = HashOfShort(block, length);
            for (size_t index = hash & mask_;; index = (index + 1) & mask_) {
                const Name* slot = slots_[index];
                if (!slot) {
                    break;
                }
                if (slot->hash == hash && slot->length == length && slot->first == block) {
                    return slot;
                }
            }
        }
        return InternSlowly(text, length, readable);
    }

private:
    static uint32_t HashOfShort(const NameBlock& block, size_t length) {
        uint64_t hash = (block.low * 0xFF51AFD7ED558CCDull) ^ (block.high * 0xC4CEB9FE1A85EC53ull) ^
                        (length * 0x9E3779B97F4A7C15ull);
        return static_cast<uint32_t>(hash >> 32);
    }
    static uint32_t HashOf(const char16_t* text, size_t length, size_t readable);
    const Name* InternSlowly(const char16_t* text, size_t length, size_t readable);
    void Insert(const Name* name);

    NodeArena& arena_;
    std::vector<const Name*> slots_;  // open addressing; the size is a power of two
    size_t mask_;
    size_t used_ = 0;
};

}  // namespace Xml
