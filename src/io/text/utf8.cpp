#include "io/text/utf8.h"

#include <cstring>
#include <optional>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Io::Text {

size_t FindUnpairedSurrogate(std::u16string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        if (Base::StartsPair(text, i)) {
            ++i;
        } else if (Base::IsSurrogate(text[i])) {
            return i;
        }
    }
    return std::u16string_view::npos;
}

namespace Utf8 {

namespace {

bool IsContinuation(uint8_t byte) {
    return (byte & 0xC0) == 0x80;
}

#if !defined(__SSE2__)
// True when none of the eight bytes has its top bit set or is zero.
bool IsAsciiWithoutZero(uint64_t word) {
    constexpr uint64_t kOnes = 0x0101010101010101;
    constexpr uint64_t kHighBits = 0x8080808080808080;
    bool has_zero = ((word - kOnes) & ~word & kHighBits) != 0;
    return (word & kHighBits) == 0 && !has_zero;
}
#endif

// True when the four units are all below U+0080.
bool IsAscii(const char16_t* units) {
    uint64_t word;
    std::memcpy(&word, units, sizeof word);
    return (word & 0xFF80FF80FF80FF80) == 0;
}

}  // namespace

size_t Decode(const uint8_t* bytes, size_t size, BaseString& text) {
    size_t before = text.length();
    // Every byte gives at most one unit (four give two).
    char16_t* const first = text.AppendUninitialized(size);
    char16_t* out = first;
    size_t i = 0;
    while (i < size) {
        uint8_t lead = bytes[i];
        if (lead != 0 && lead < 0x80) {
#if defined(__SSE2__)
            // A lone ASCII character, such as a space between words of another
            // script, on its own.
            if (i + 1 < size && (bytes[i + 1] == 0 || bytes[i + 1] >= 0x80)) {
                *out++ = lead;
                ++i;
                continue;
            }
            // A run of ASCII, sixteen bytes at a time: each block is widened
            // whole and kept as far as it is ASCII without a zero.
            const __m128i zero = _mm_setzero_si128();
            bool stopped = false;
            while (!stopped && i + 16 <= size) {
                __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
                unsigned stops = static_cast<unsigned>(
                    _mm_movemask_epi8(block) | _mm_movemask_epi8(_mm_cmpeq_epi8(block, zero)));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(block, zero));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8),
                                 _mm_unpackhi_epi8(block, zero));
                size_t ascii = stops ? static_cast<size_t>(__builtin_ctz(stops)) : 16;
                out += ascii;
                i += ascii;
                stopped = ascii < 16;
            }
            // Fewer than sixteen bytes left.
            while (!stopped && i < size && bytes[i] != 0 && bytes[i] < 0x80) {
                *out++ = bytes[i++];
            }
#else
            // Text that is ASCII tends to stay so: eight bytes at a time.
            *out++ = lead;
            ++i;
            while (i + 8 <= size) {
                uint64_t word;
                std::memcpy(&word, bytes + i, sizeof word);
                if (!IsAsciiWithoutZero(word)) {
                    break;
                }
                for (size_t k = 0; k < 8; ++k) {
                    out[k] = bytes[i + k];
                }
                out += 8;
                i += 8;
            }
#endif
            continue;
        }
        // Three- and two-byte sequences decoded directly, then checked for the
        // shortest form and against surrogates; anything else by the rules.
        if (lead >= 0xE0 && lead < 0xF0 && i + 2 < size && IsContinuation(bytes[i + 1]) &&
            IsContinuation(bytes[i + 2])) {
            char16_t unit = static_cast<char16_t>((lead & 0x0F) << 12 | (bytes[i + 1] & 0x3F) << 6 |
                                                  (bytes[i + 2] & 0x3F));
            if (unit >= 0x800 && (unit & 0xF800) != 0xD800) {
                *out++ = unit;
                i += 3;
                continue;
            }
        } else if (lead >= 0xC2 && lead < 0xE0 && i + 1 < size && IsContinuation(bytes[i + 1])) {
            *out++ = static_cast<char16_t>((lead & 0x1F) << 6 | (bytes[i + 1] & 0x3F));
            i += 2;
            continue;
        }
        Base::Utf8Sequence sequence = Base::ReadUtf8Sequence(bytes + i, size - i);
        if (sequence.kind != Base::Utf8Sequence::kValid || sequence.code_point == 0) {
            break;
        }
        // Only four-byte sequences are valid here: a surrogate pair.
        out = Base::PutCodePoint(sequence.code_point, out);
        i += sequence.length;
    }
    text.Truncate(before + static_cast<size_t>(out - first));
    return i;
}

std::optional<ByteBuffer> Encode(std::u16string_view text, bool strict) {
    const size_t count = text.size();
    size_t size = 0;
    bool unpaired_surrogate = false;
    for (size_t i = 0; i < count; ++i) {
        char16_t unit = text[i];
        if (unit < 0x80) {
            size += 1;
            while (i + 5 <= count && IsAscii(text.data() + i + 1)) {
                size += 4;
                i += 4;
            }
        } else if (unit < 0x800) {
            size += 2;
        } else if (!Base::IsSurrogate(unit)) {
            size += 3;
        } else if (Base::StartsPair(text, i)) {
            size += 4;
            ++i;
        } else {
            unpaired_surrogate = true;
            size += 3;
        }
    }
    if (unpaired_surrogate && strict) {
        return std::nullopt;
    }
    ByteBuffer bytes;
    uint8_t* out = bytes.AppendUninitialized(size);
    for (size_t i = 0; i < count; ++i) {
        char32_t code_point = text[i];
        if (code_point < 0x80) {
            *out++ = static_cast<uint8_t>(code_point);
            while (i + 5 <= count && IsAscii(text.data() + i + 1)) {
                for (size_t k = 1; k <= 4; ++k) {
                    *out++ = static_cast<uint8_t>(text[i + k]);
                }
                i += 4;
            }
            continue;
        }
        if (code_point < 0x800) {
            *out++ = static_cast<uint8_t>(0xC0 | (code_point >> 6));
            *out++ = static_cast<uint8_t>(0x80 | (code_point & 0x3F));
            continue;
        }
        if (Base::StartsPair(text, i)) {
            code_point = Base::CombinePair(text[i], text[i + 1]);
            ++i;
            *out++ = static_cast<uint8_t>(0xF0 | (code_point >> 18));
            *out++ = static_cast<uint8_t>(0x80 | ((code_point >> 12) & 0x3F));
            *out++ = static_cast<uint8_t>(0x80 | ((code_point >> 6) & 0x3F));
            *out++ = static_cast<uint8_t>(0x80 | (code_point & 0x3F));
            continue;
        }
        if (Base::IsSurrogate(code_point)) {
            code_point = Base::kReplacement;
        }
        *out++ = static_cast<uint8_t>(0xE0 | (code_point >> 12));
        *out++ = static_cast<uint8_t>(0x80 | ((code_point >> 6) & 0x3F));
        *out++ = static_cast<uint8_t>(0x80 | (code_point & 0x3F));
    }
    return bytes;
}

}  // namespace Utf8

}  // namespace Io::Text
