#include "xml/name_chars.h"

namespace Xml {

bool IsWideNameStartChar(char16_t c) {
    return (c >= 0xC0 && c <= 0xD6) || (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) ||
           (c >= 0x370 && c <= 0x37D) || (c >= 0x37F && c <= 0x1FFF) ||
           (c >= 0x200C && c <= 0x200D) || (c >= 0x2070 && c <= 0x218F) ||
           (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) ||
           (c >= 0xF900 && c <= 0xFDCF) || (c >= 0xFDF0 && c <= 0xFFFD);
}

bool IsWideNameChar(char16_t c) {
    return IsWideNameStartChar(c) || c == 0xB7 || (c >= 0x300 && c <= 0x36F) ||
           (c >= 0x203F && c <= 0x2040);
}

bool IsValidName(std::u16string_view name) {
    if (name.empty() || !IsNameStartChar(name[0])) {
        return false;
    }
    for (char16_t c : name.substr(1)) {
        if (!IsNameChar(c)) {
            return false;
        }
    }
    return true;
}

}  // namespace Xml
