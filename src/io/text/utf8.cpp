#include "io/text/utf8.h"

#include <cstring>

namespace Io::Text {

size_t FindUnpairedSurrogate(std::u16string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            ++i;
        } else if (IsHighSurrogate(text[i]) || IsLowSurrogate(text[i])) {
            return i;
        }
    }
    return std::u16string_view::npos;
}

namespace Utf8 {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

// What a lead byte begins: the length of its sequence (0 when it begins none)
// and the range of the second byte that keeps the sequence in its shortest
// form, off the surrogates and at most U+10FFFF.
struct LeadRule {
    uint8_t length;
    uint8_t second_low;
    uint8_t second_high;
};

constexpr LeadRule RuleFor(uint8_t lead) {
    if (lead < 0x80) {
        return {1, 0, 0};
    }
    if (lead < 0xC2) {
        return {0, 0, 0};
    }
    if (lead < 0xE0) {
        return {2, 0x80, 0xBF};
    }
    if (lead == 0xE0) {
        return {3, 0xA0, 0xBF};
    }
    if (lead == 0xED) {
        return {3, 0x80, 0x9F};
    }
    if (lead < 0xF0) {
        return {3, 0x80, 0xBF};
    }
    if (lead == 0xF0) {
        return {4, 0x90, 0xBF};
    }
    if (lead < 0xF4) {
        return {4, 0x80, 0xBF};
    }
    if (lead == 0xF4) {
        return {4, 0x80, 0x8F};
    }
    return {0, 0, 0};
}

// True when none of the eight bytes has its top bit set or is zero.
bool IsAsciiWithoutZero(uint64_t word) {
    constexpr uint64_t kOnes = 0x0101010101010101;
    constexpr uint64_t kHighBits = 0x8080808080808080;
    bool has_zero = ((word - kOnes) & ~word & kHighBits) != 0;
    return (word & kHighBits) == 0 && !has_zero;
}

// The number of UTF-8 bytes of the unit at `index`, moving `index` past a
// surrogate pair's second unit.
size_t EncodedLength(std::u16string_view text, size_t& index) {
    char16_t unit = text[index];
    if (unit < 0x80) {
        return 1;
    }
    if (unit < 0x800) {
        return 2;
    }
    if (IsHighSurrogate(unit) && index + 1 < text.size() && IsLowSurrogate(text[index + 1])) {
        ++index;
        return 4;
    }
    return 3;
}

}  // namespace

Sequence ReadSequence(const uint8_t* bytes, size_t size) {
    if (size == 0) {
        return {Sequence::kIncomplete, 0, 0};
    }
    LeadRule rule = RuleFor(bytes[0]);
    if (rule.length == 0) {
        return {Sequence::kInvalid, 0, 0};
    }
    char32_t code_point = bytes[0] & (0xFF >> (rule.length + 1));
    for (size_t i = 1; i < rule.length; ++i) {
        if (i >= size) {
            return {Sequence::kIncomplete, 0, 0};
        }
        uint8_t low = i == 1 ? rule.second_low : 0x80;
        uint8_t high = i == 1 ? rule.second_high : 0xBF;
        if (bytes[i] < low || bytes[i] > high) {
            return {Sequence::kInvalid, 0, 0};
        }
        code_point = (code_point << 6) | (bytes[i] & 0x3F);
    }
    return {Sequence::kValid, rule.length, code_point};
}

size_t Decode(const uint8_t* bytes, size_t size, BaseString& text) {
    size_t before = text.length();
    // Every byte gives at most one unit (four give two).
    char16_t* const first = text.AppendUninitialized(size);
    char16_t* out = first;
    size_t i = 0;
    while (i < size) {
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
        if (i == size) {
            break;
        }
        if (bytes[i] != 0 && bytes[i] < 0x80) {
            *out++ = bytes[i++];
            continue;
        }
        Sequence sequence = ReadSequence(bytes + i, size - i);
        if (sequence.kind != Sequence::kValid || sequence.code_point == 0) {
            break;
        }
        char32_t code_point = sequence.code_point;
        if (code_point > 0xFFFF) {
            code_point -= 0x10000;
            *out++ = static_cast<char16_t>(0xD800 + (code_point >> 10));
            *out++ = static_cast<char16_t>(0xDC00 + (code_point & 0x3FF));
        } else {
            *out++ = static_cast<char16_t>(code_point);
        }
        i += sequence.length;
    }
    text.Truncate(before + static_cast<size_t>(out - first));
    return i;
}

ByteBuffer Encode(std::u16string_view text) {
    size_t size = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        size += EncodedLength(text, i);
    }
    ByteBuffer bytes;
    bytes.Resize(size);
    uint8_t* out = bytes.MutableData();
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t code_point = text[i];
        switch (EncodedLength(text, i)) {
            case 1:
                *out++ = static_cast<uint8_t>(code_point);
                break;
            case 2:
                *out++ = static_cast<uint8_t>(0xC0 | (code_point >> 6));
                *out++ = static_cast<uint8_t>(0x80 | (code_point & 0x3F));
                break;
            case 3:
                if (IsHighSurrogate(code_point) || IsLowSurrogate(code_point)) {
                    code_point = kReplacement;
                }
                *out++ = static_cast<uint8_t>(0xE0 | (code_point >> 12));
                *out++ = static_cast<uint8_t>(0x80 | ((code_point >> 6) & 0x3F));
                *out++ = static_cast<uint8_t>(0x80 | (code_point & 0x3F));
                break;
            default:
                code_point = 0x10000 + ((code_point - 0xD800) << 10) + (text[i] - 0xDC00);
                *out++ = static_cast<uint8_t>(0xF0 | (code_point >> 18));
                *out++ = static_cast<uint8_t>(0x80 | ((code_point >> 12) & 0x3F));
                *out++ = static_cast<uint8_t>(0x80 | ((code_point >> 6) & 0x3F));
                *out++ = static_cast<uint8_t>(0x80 | (code_point & 0x3F));
                break;
        }
    }
    return bytes;
}

}  // namespace Utf8

}  // namespace Io::Text
