#include "xml/name_table.h"

#include <cstring>

namespace Xml {

NameTable::NameTable(NodeArena& arena) : arena_(arena), slots_(64) {}

uint32_t NameTable::Hash(std::u16string_view name) {
    // Four units at a time: names are short and hashed often.
    uint64_t hash = name.size() * 0x9E3779B97F4A7C15ull;
    const char16_t* p = name.data();
    size_t left = name.size();
    for (; left >= 4; left -= 4, p += 4) {
        uint64_t block;
        std::memcpy(&block, p, sizeof block);
        hash = (hash ^ block) * 0xFF51AFD7ED558CCDull;
    }
    for (; left > 0; --left, ++p) {
        hash = (hash ^ *p) * 0xC4CEB9FE1A85EC53ull;
    }
    return static_cast<uint32_t>(hash >> 32);
}

bool NameTable::Equal(const BaseString& stored, std::u16string_view name) {
    if (stored.length() != name.size()) {
        return false;
    }
    for (size_t i = 0; i < name.size(); ++i) {
        if (stored[i] != name[i]) {
            return false;
        }
    }
    return true;
}

const BaseString* NameTable::Intern(std::u16string_view name) {
    uint32_t hash = Hash(name);
    size_t mask = slots_.size() - 1;
    for (size_t index = hash & mask;; index = (index + 1) & mask) {
        Slot& slot = slots_[index];
        if (!slot.name) {
            if (used_ + 1 > slots_.size() / 2) {
                Grow();
                return Intern(name);
            }
            slot.name = arena_.AddName(name);
            slot.hash = hash;
            ++used_;
            return slot.name;
        }
        if (slot.hash == hash && Equal(*slot.name, name)) {
            return slot.name;
        }
    }
}

void NameTable::Grow() {
    std::vector<Slot> old(slots_.size() * 2);
    old.swap(slots_);
    size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
        if (!slot.name) {
            continue;
        }
        size_t index = slot.hash & mask;
        while (slots_[index].name) {
            index = (index + 1) & mask;
        }
        slots_[index] = slot;
    }
}

}  // namespace Xml
