#pragma once

#include <string_view>

namespace Xml {

// The parts of the NameStartChar and NameChar productions of XML 1.0 (Fifth
// Edition) above U+007F, on single 16-bit units.
bool IsWideNameStartChar(char16_t c);
bool IsWideNameChar(char16_t c);

// The NameStartChar and NameChar productions applied to single 16-bit units: a
// surrogate never matches, so names cannot hold characters above U+FFFF.
inline bool IsNameStartChar(char16_t c) {
    if (c < 0x80) {
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_' || c == u':';
    }
    return IsWideNameStartChar(c);
}

inline bool IsNameChar(char16_t c) {
    if (c < 0x80) {
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
               c == u'_' || c == u':' || c == u'-' || c == u'.';
    }
    return IsWideNameChar(c);
}

// A non-empty name made of a name-start character and name characters.
bool IsValidName(std::u16string_view name);

}  // namespace Xml
