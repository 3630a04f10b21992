#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "base/string.h"
#include "xml/node_arena.h"

namespace Xml {

// The names met while reading one document, each stored once in the tree's
// arena: the elements and attributes of a repeated name share one string.
class NameTable {
public:
    explicit NameTable(NodeArena& arena);

    // The stored name equal to `name`, stored now if it is new.
    const BaseString* Intern(std::u16string_view name);

private:
    struct Slot {
        const BaseString* name = nullptr;
        uint32_t hash = 0;
    };

    static uint32_t Hash(std::u16string_view name);
    static bool Equal(const BaseString& stored, std::u16string_view name);
    void Grow();

    NodeArena& arena_;
    std::vector<Slot> slots_;  // open addressing; the size is a power of two
    size_t used_ = 0;
};

}  // namespace Xml
