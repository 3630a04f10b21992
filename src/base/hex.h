#pragma once

namespace Base {

// The digit of a value from 0 to 15, lower or upper case.
constexpr char HexDigit(unsigned value, bool upper = false) {
    return (upper ? "0123456789ABCDEF" : "0123456789abcdef")[value & 15];
}

// The value of a hexadecimal digit of either case; -1 for any other character.
constexpr int HexDigitValue(char16_t c) {
    if (c >= u'0' && c <= u'9') {
        return c - u'0';
    }
    if (c >= u'a' && c <= u'f') {
        return c - u'a' + 10;
    }
    if (c >= u'A' && c <= u'F') {
        return c - u'A' + 10;
    }
    return -1;
}

}  // namespace Base
