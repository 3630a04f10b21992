#include "xml/name_table.h"

namespace Xml {

NameTable::NameTable() : slots_(64) {}

uint32_t NameTable::Hash(std::u16string_view name) {
    uint32_t hash = 2166136261u;  // FNV-1a
    for (char16_t c : name) {
        hash = (hash ^ c) * 16777619u;
    }
    return hash;
}

const BaseString& NameTable::Intern(std::u16string_view name) {
    uint32_t hash = Hash(name);
    size_t mask = slots_.size() - 1;
    for (size_t index = hash & mask;; index = (index + 1) & mask) {
        Slot& slot = slots_[index];
        if (slot.name.empty()) {
            if (used_ + 1 > slots_.size() / 2) {
                Grow();
                return Intern(name);
            }
            slot.name = BaseString(name);
            slot.hash = hash;
            ++used_;
            return slot.name;
        }
        if (slot.hash == hash && slot.name.view() == name) {
            return slot.name;
        }
    }
}

void NameTable::Grow() {
    std::vector<Slot> old(slots_.size() * 2);
    old.swap(slots_);
    size_t mask = slots_.size() - 1;
    for (Slot& slot : old) {
        if (slot.name.empty()) {
            continue;
        }
        size_t index = slot.hash & mask;
        while (!slots_[index].name.empty()) {
            index = (index + 1) & mask;
        }
        slots_[index] = std::move(slot);
    }
}

}  // namespace Xml
