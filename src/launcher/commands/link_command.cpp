#include "launcher/commands/link_command.h"

#include <cstdint>
#include <string>

#include "base/hex.h"
#include "base/utf.h"

namespace {

// Appends the bytes of consecutive escapes: UTF-8 sequences as their
// characters, every other byte as the Latin-1 character of its value.
void AppendEscapedBytes(std::string_view bytes, BaseString& out) {
    while (!bytes.empty()) {
        Base::Utf8Sequence sequence =
            Base::ReadUtf8Sequence(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        if (sequence.kind != Base::Utf8Sequence::kValid) {
            sequence = {Base::Utf8Sequence::kValid, 1, static_cast<uint8_t>(bytes[0])};
        }
        Base::AppendCodePoint(sequence.code_point, out);
        bytes.remove_prefix(sequence.length);
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
