#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "base/buffer.h"
#include "base/string.h"

namespace Io::Text {

inline bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
inline bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}
// Whether a surrogate pair starts at `index`.
inline bool StartsPair(std::u16string_view text, size_t index) {
    return IsHighSurrogate(text[index]) && index + 1 < text.size() &&
           IsLowSurrogate(text[index + 1]);
}

// What a lenient codec writes for a character it cannot carry.
inline constexpr char16_t kReplacement = 0xFFFD;

// The byte-order mark of UTF-8 (65001), UTF-16LE (1200) or UTF-16BE (1201);
// empty for any other code page.
inline std::string_view ByteOrderMark(int32_t code_page) {
    switch (code_page) {
        case 65001:
            return "\xEF\xBB\xBF";
        case 1200:
            return "\xFF\xFE";
        case 1201:
            return "\xFE\xFF";
        default:
            return {};
    }
}

// The index of the first surrogate of `text` that is not half of a pair, or npos.
size_t FindUnpairedSurrogate(std::u16string_view text);

// UTF-8 as the codecs read and write it: only the shortest form of a code
// point is valid, and neither surrogates nor values above U+10FFFF are.
namespace Utf8 {

// What the first sequence of some bytes is.
struct Sequence {
    enum Kind { kValid, kInvalid, kIncomplete };
    Kind kind;
    size_t length;  // bytes, for a valid sequence
    char32_t code_point;
};

// The sequence at the start of `bytes`. kIncomplete when the bytes end before
// it can be told valid or invalid (also for no bytes at all).
Sequence ReadSequence(const uint8_t* bytes, size_t size);

// Decodes whole sequences from the start of `bytes` onto `text`, a code point
// above U+FFFF as its surrogate pair. Stops at the end, before an invalid
// sequence or U+0000 (which no string holds), and before a sequence cut off
// by the end. Returns the number of bytes decoded.
size_t Decode(const uint8_t* bytes, size_t size, BaseString& text);

// The UTF-8 bytes of `text`, an unpaired surrogate as U+FFFD; nothing when
// `strict` and the text holds an unpaired surrogate.
std::optional<ByteBuffer> Encode(std::u16string_view text, bool strict);

}  // namespace Utf8

}  // namespace Io::Text
