#include "base/utf.h"

#include <cstdint>

#include "base/string.h"

namespace Base {

namespace {

// Decodes one sequence at `p`; returns its length in bytes (0 when invalid).
size_t DecodeUtf8Sequence(const unsigned char* p, size_t available, char32_t& code_point) {
    unsigned char lead = p[0];
    size_t length;
    char32_t value;
    if (lead < 0x80) {
        code_point = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
    } else {
        return 0;
    }
    if (available < length) {
        return 0;
    }
    for (size_t i = 1; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80) {
            return 0;
        }
        value = (value << 6) | (p[i] & 0x3F);
    }
    bool overlong = (length == 3 && value < 0x800) || (length == 4 && value < 0x10000);
    bool surrogate = value >= 0xD800 && value <= 0xDFFF;
    if (overlong || surrogate || value > 0x10FFFF) {
        return 0;
    }
    code_point = value;
    return length;
}

}  // namespace

void AppendUtf8AsUtf16(std::string_view utf8, BaseString& out) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(utf8.data());
    size_t left = utf8.size();
    while (left > 0) {
        char32_t code_point;
        size_t used = DecodeUtf8Sequence(p, left, code_point);
        if (used == 0) {
            code_point = 0xFFFD;
            used = 1;
        }
        if (code_point >= 0x10000) {
            code_point -= 0x10000;
            out.Append(static_cast<char16_t>(0xD800 + (code_point >> 10)));
            out.Append(static_cast<char16_t>(0xDC00 + (code_point & 0x3FF)));
        } else {
            out.Append(static_cast<char16_t>(code_point));
        }
        p += used;
        left -= used;
    }
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    for (size_t i = 0; i < utf16.size(); ++i) {
        char32_t c = utf16[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
            utf16[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
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
