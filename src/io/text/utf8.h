#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "base/buffer.h"
#include "base/string.h"
#include "base/utf.h"

namespace Io::Text {

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

// UTF-8 as the codecs read and write it (Base::ReadUtf8Sequence's rules).
namespace Utf8 {

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
