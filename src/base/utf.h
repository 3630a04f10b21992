#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class BaseString;

// The UTF-8 and UTF-16 primitives every codec, parser and decoder of the
// system shares.
namespace Base {

inline bool IsHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
inline bool IsLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}
inline bool IsSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDFFF;
}
// Whether a surrogate pair starts at `index`.
inline bool StartsPair(std::u16string_view text, size_t index) {
    return IsHighSurrogate(text[index]) && index + 1 < text.size() &&
           IsLowSurrogate(text[index + 1]);
}
// The code point of a surrogate pair.
inline char32_t CombinePair(char16_t high, char16_t low) {
    return 0x10000 + ((static_cast<char32_t>(high) - 0xD800) << 10) + (low - 0xDC00);
}
// Writes a code point as one unit or, above U+FFFF, as its surrogate pair;
// returns the position after it.
inline char16_t* PutCodePoint(char32_t code_point, char16_t* out) {
    if (code_point < 0x10000) {
        *out++ = static_cast<char16_t>(code_point);
        return out;
    }
    code_point -= 0x10000;
    *out++ = static_cast<char16_t>(0xD800 + (code_point >> 10));
    *out++ = static_cast<char16_t>(0xDC00 + (code_point & 0x3FF));
    return out;
}
void AppendCodePoint(char32_t code_point, BaseString& out);

// What a lenient codec writes for a character it cannot carry.
inline constexpr char16_t kReplacement = 0xFFFD;

// UTF-8 as the system reads it: only the shortest form of a code point is
// valid, and neither surrogates nor values above U+10FFFF are.
struct Utf8Sequence {
    enum Kind { kValid, kInvalid, kIncomplete };
    Kind kind;
    size_t length;  // bytes, for a valid sequence
    char32_t code_point;
};

// The sequence at the start of `bytes`. kIncomplete when the bytes end before
// it can be told valid or invalid (also for no bytes at all).
Utf8Sequence ReadUtf8Sequence(const uint8_t* bytes, size_t size);

// Lenient conversions used at the program's edges (source literals, narrow
// tags, terminals, file names on POSIX): an invalid UTF-8 sequence gives one
// U+FFFD per offending byte, an unpaired surrogate gives U+FFFD.
void AppendUtf8AsUtf16(std::string_view utf8, BaseString& out);
std::string Utf16ToUtf8(std::u16string_view utf16);

}  // namespace Base
