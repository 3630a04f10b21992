#include "xml/name_table.h"

#include <algorithm>
#include <new>

namespace Xml {

bool Name::IsLong(const char16_t* text, size_t readable) const {
    for (size_t at = 0; at < length; at += NameBlock::kUnits) {
        NameBlock stored;
        std::memcpy(&stored, padded + at, sizeof stored);
        size_t units = std::min<size_t>(length - at, NameBlock::kUnits);
        if (NameBlock::Load(text + at, units, readable - at) != stored) {
            return false;
        }
    }
    return true;
}

NameTable::NameTable(NodeArena& arena) : arena_(arena), slots_(64), mask_(63) {}

uint32_t NameTable::HashOf(const char16_t* text, size_t length, size_t readable) {
    if (length <= NameBlock::kUnits) {
        return HashOfShort(NameBlock::Load(text, length, readable), length);
    }
    uint64_t hash = length * 0x9E3779B97F4A7C15ull;
    for (size_t at = 0; at < length; at += NameBlock::kUnits) {
        NameBlock block = NameBlock::Load(
            text + at, std::min<size_t>(length - at, NameBlock::kUnits), readable - at);
        hash = (hash ^ block.low) * 0xFF51AFD7ED558CCDull;
        hash = (hash ^ block.high) * 0xC4CEB9FE1A85EC53ull;
    }
    return static_cast<uint32_t>(hash >> 32);
}

const Name* NameTable::InternSlowly(const char16_t* text, size_t length, size_t readable) {
    uint32_t hash = HashOf(text, length, readable);
    for (size_t index = hash & mask_;; index = (index + 1) & mask_) {
        const Name* slot = slots_[index];
        if (!slot) {
            break;
        }
        if (slot->hash == hash && slot->Is(text, length, readable)) {
            return slot;
        }
    }

    size_t padded_length = (length + NameBlock::kUnits - 1) / NameBlock::kUnits * NameBlock::kUnits;
    char16_t* padded = arena_.AllocateText(padded_length);
    std::memcpy(padded, text, length * sizeof(char16_t));
    std::fill(padded + length, padded + padded_length, u'\0');
    NameBlock first;
    std::memcpy(&first, padded, sizeof first);
    uint64_t order = 0;
    for (size_t unit = 0; unit < 4; ++unit) {
        order = order << 16 | padded[unit];
    }
    auto* name = new (arena_.AllocateStorage(sizeof(Name))) Name{arena_.AddName({text, length}),
                                                                 first,
                                                                 padded,
                                                                 static_cast<uint32_t>(length),
                                                                 hash,
                                                                 order,
                                                                 nullptr};
    Insert(name);
    return name;
}

void NameTable::Insert(const Name* name) {
    if (used_ + 1 > slots_.size() / 2) {
        std::vector<const Name*> grown(slots_.size() * 2);
        size_t grown_mask = grown.size() - 1;
        for (const Name* kept : slots_) {
            if (kept) {
                size_t at = kept->hash & grown_mask;
                while (grown[at]) {
                    at = (at + 1) & grown_mask;
                }
                grown[at] = kept;
            }
        }
        slots_.swap(grown);
        mask_ = grown_mask;
    }
    size_t at = name->hash & mask_;
    while (slots_[at]) {
        at = (at + 1) & mask_;
    }
    slots_[at] = name;
    ++used_;
}

}  // namespace Xml
