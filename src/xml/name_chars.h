#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace Xml {

// The parts of the NameStartChar and NameChar productions of XML 1.0 (Fifth
// Edition) above U+007F, on single 16-bit units.
bool IsWideNameStartChar(char16_t c);
bool IsWideNameChar(char16_t c);

namespace NameCharTable {

enum : uint8_t { kNameStart = 1, kName = 2 };

constexpr std::array<uint8_t, 128> Make() {
    std::array<uint8_t, 128> table{};
    for (int c = 0; c < 128; ++c) {
        bool start = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':';
        bool name = start || (c >= '0' && c <= '9') || c == '-' || c == '.';
        table[c] = static_cast<uint8_t>((start ? kNameStart : 0) | (name ? kName : 0));
    }
    return table;
}

inline constexpr std::array<uint8_t, 128> kAscii = Make();

}  // namespace NameCharTable

// The NameStartChar and NameChar productions applied to single 16-bit units: a
// surrogate never matches, so names cannot hold characters above U+FFFF.
inline bool IsNameStartChar(char16_t c) {
    if (c < 0x80) {
        return NameCharTable::kAscii[c] & NameCharTable::kNameStart;
    }
    return IsWideNameStartChar(c);
}

inline bool IsNameChar(char16_t c) {
    if (c < 0x80) {
        return NameCharTable::kAscii[c] & NameCharTable::kName;
    }
    return IsWideNameChar(c);
}

// A non-empty name made of a name-start character and name characters.
bool IsValidName(std::u16string_view name);

}  // namespace Xml
