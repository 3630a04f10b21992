#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "base/string.h"

namespace Xml {

// The names met while parsing one document, each stored once: the nodes and
// attributes of a repeated name share one string.
class NameTable {
public:
    NameTable();

    // The stored name equal to `name`, stored now if it is new. The reference
    // stays valid until the next call.
    const BaseString& Intern(std::u16string_view name);

private:
    struct Slot {
        BaseString name;
        uint32_t hash = 0;
    };

    static uint32_t Hash(std::u16string_view name);
    void Grow();

    std::vector<Slot> slots_;  // open addressing; the size is a power of two
    size_t used_ = 0;
};

}  // namespace Xml
