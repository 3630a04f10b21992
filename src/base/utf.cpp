#include "base/utf.h"

#include "base/string.h"

namespace Base {

namespace {

// What a lead byte begins: the length of its sequence (0 when it begins none)
// and the range of the second byte that keeps the sequence in its shortest
// form, off the surrogates and at most U+10FFFF.
struct LeadRule {
    uint8_t length;
    uint8_t second_low;
    uint8_t second_high;
};

constexpr LeadRule RuleFor(uint8_t lead) {
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

}  // namespace

void AppendCodePoint(char32_t code_point, BaseString& out) {
    char16_t units[2];
    out.Append(std::u16string_view(units, PutCodePoint(code_point, units) - units));
}

Utf8Sequence ReadUtf8Sequence(const uint8_t* bytes, size_t size) {
    if (size == 0) {
        return {Utf8Sequence::kIncomplete, 0, 0};
    }
    if (bytes[0] < 0x80) {
        return {Utf8Sequence::kValid, 1, bytes[0]};
    }
    LeadRule rule = RuleFor(bytes[0]);
    if (rule.length == 0) {
        return {Utf8Sequence::kInvalid, 0, 0};
    }
    char32_t code_point = bytes[0] & (0xFF >> (rule.length + 1));
    for (size_t i = 1; i < rule.length; ++i) {
        if (i >= size) {
            return {Utf8Sequence::kIncomplete, 0, 0};
        }
        uint8_t low = i == 1 ? rule.second_low : 0x80;
        uint8_t high = i == 1 ? rule.second_high : 0xBF;
        if (bytes[i] < low || bytes[i] > high) {
            return {Utf8Sequence::kInvalid, 0, 0};
        }
        code_point = (code_point << 6) | (bytes[i] & 0x3F);
    }
    return {Utf8Sequence::kValid, rule.length, code_point};
}

void AppendUtf8AsUtf16(std::string_view utf8, BaseString& out) {
    const auto* p = reinterpret_cast<const uint8_t*>(utf8.data());
    size_t left = utf8.size();
    while (left > 0) {
        Utf8Sequence sequence = ReadUtf8Sequence(p, left);
        if (sequence.kind != Utf8Sequence::kValid) {
            sequence = {Utf8Sequence::kValid, 1, kReplacement};
        }
        AppendCodePoint(sequence.code_point, out);
        p += sequence.length;
        left -= sequence.length;
    }
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    for (size_t i = 0; i < utf16.size(); ++i) {
        char32_t c = utf16[i];
        if (StartsPair(utf16, i)) {
            c = CombinePair(utf16[i], utf16[i + 1]);
            ++i;
        } else if (IsSurrogate(c)) {
            c = kReplacement;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

}  // namespace Base
