#pragma once

#include <cstdint>
#include <string_view>

// Class ("CID_"), interface ("IID_") and thread-slot ("TID_") identifiers are
// wide strings. Interface queries compare a 32-bit hash first: the sum of the
// code units shifted left by 16 bits, plus the length (wrapping arithmetic).
constexpr uint32_t IdentifierHash(std::u16string_view id) {
    uint32_t sum = 0;
    for (char16_t c : id) {
        sum += static_cast<uint32_t>(c);
    }
    return (sum << 16) + static_cast<uint32_t>(id.size());
}

// An interface identifier with its hash, computed once (at compile time for the
// identifiers of the interfaces themselves).
struct Iid {
    std::u16string_view text;
    uint32_t hash;

    constexpr Iid(std::u16string_view id) : text(id), hash(IdentifierHash(id)) {}
    constexpr Iid(const char16_t* id) : Iid(std::u16string_view(id)) {}

    constexpr bool operator==(const Iid& other) const {
        return hash == other.hash && text == other.text;
    }
};
