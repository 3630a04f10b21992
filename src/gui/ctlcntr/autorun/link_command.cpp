#include "gui/ctlcntr/autorun/link_command.h"

#include <cstdint>
#include <string>

#include "base/hex.h"

namespace {

void AppendCodePoint(uint32_t code_point, BaseString& out) {
    if (code_point < 0x10000) {
        out.Append(static_cast<char16_t>(code_point));
        return;
    }
    code_point -= 0x10000;
    out.Append(static_cast<char16_t>(0xD800 + (code_point >> 10)));
    out.Append(static_cast<char16_t>(0xDC00 + (code_point & 0x3FF)));
}

// The length of the well-formed UTF-8 sequence at the start of `bytes` and its
// code point, or 0 when there is none (overlong forms and surrogates included).
size_t DecodeUtf8Sequence(std::string_view bytes, uint32_t& code_point) {
    auto lead = static_cast<uint8_t>(bytes[0]);
    size_t length;
    uint32_t minimum;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, minimum = 0x80, code_point = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, minimum = 0x800, code_point = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, minimum = 0x10000, code_point = lead & 0x07;
    } else {
        return 0;
    }
    if (bytes.size() < length) {
        return 0;
    }
    for (size_t i = 1; i < length; ++i) {
        auto next = static_cast<uint8_t>(bytes[i]);
        if ((next & 0xC0) != 0x80) {
            return 0;
        }
        code_point = (code_point << 6) | (next & 0x3F);
    }
    bool surrogate = code_point >= 0xD800 && code_point <= 0xDFFF;
    if (code_point < minimum || code_point > 0x10FFFF || surrogate) {
        return 0;
    }
    return length;
}

// Appends the bytes of consecutive escapes: UTF-8 sequences as their
// characters, every other byte as the Latin-1 character of its value.
void AppendEscapedBytes(std::string_view bytes, BaseString& out) {
    while (!bytes.empty()) {
        uint32_t code_point = 0;
        size_t length = DecodeUtf8Sequence(bytes, code_point);
        if (length == 0) {
            code_point = static_cast<uint8_t>(bytes[0]);
            length = 1;
        }
        AppendCodePoint(code_point, out);
        bytes.remove_prefix(length);
    }
}

}  // namespace

BaseString DecodeUrlEscapes(std::u16string_view url) {
    BaseString out;
    out.Reserve(url.size());
    std::string escaped_bytes;
    size_t i = 0;
    while (i < url.size()) {
        if (url[i] != u'%') {
            AppendEscapedBytes(escaped_bytes, out);
            escaped_bytes.clear();
            out.Append(url[i++]);
            continue;
        }
        if (url.size() - i < 3) {
            break;
        }
        int high = Base::HexDigitValue(url[i + 1]);
        int low = Base::HexDigitValue(url[i + 2]);
        if (high < 0 || low < 0 || (high == 0 && low == 0)) {
            AppendEscapedBytes(escaped_bytes, out);
            escaped_bytes.clear();
            out.Append(url[i++]);
            continue;
        }
        escaped_bytes.push_back(static_cast<char>(high * 16 + low));
        i += 3;
    }
    AppendEscapedBytes(escaped_bytes, out);
    return out;
}

LinkCommand ParseLinkCommand(std::u16string_view url) {
    constexpr std::u16string_view kRun = u"run:";
    constexpr std::u16string_view kInvoke = u"invoke:";
    constexpr std::u16string_view kQuit = u"quit:";

    BaseString text = DecodeUrlEscapes(url);
    if (text.StartsWith(kRun)) {
        return {LinkCommand::Kind::kRun, text.Substr(kRun.size())};
    }
    if (text.StartsWith(kInvoke)) {
        return {LinkCommand::Kind::kInvoke, text.Substr(kInvoke.size())};
    }
    if (text == kQuit) {
        return {LinkCommand::Kind::kQuit, {}};
    }
    return {};
}
