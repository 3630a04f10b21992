#include <climits>

#include "base/win.h"
#include "io/text/code_page.h"

namespace Io::Text {

namespace {

// Code pages whose conversion fails when asked to reject invalid input, to
// avoid best-fit replacements or to report the default character.
bool RefusesConversionFlags(int32_t code_page) {
    switch (code_page) {
        case 42:
        case 50220:
        case 50221:
        case 50222:
        case 50225:
        case 50227:
        case 50229:
        case 52936:
        case 54936:
        case 65000:
        case 65001:
            return true;
        default:
            return code_page >= 57002 && code_page <= 57011;
    }
}

constexpr int32_t kGb18030 = 54936;
constexpr int32_t kUtf8 = 65001;

// UTF-8 and GB18030 take the invalid-character flag when decoding, though
// they refuse the encoding flags.
bool RefusesInvalidCharsFlag(int32_t code_page) {
    return code_page != kUtf8 && code_page != kGb18030 && RefusesConversionFlags(code_page);
}

bool InRange(uint8_t byte, uint8_t low, uint8_t high) {
    return byte >= low && byte <= high;
}

// GB18030: one byte up to 0x80; a lead byte 0x81-0xFE with a second byte
// 0x30-0x39 begins four bytes (the third 0x81-0xFE, the fourth 0x30-0x39),
// with any other second byte two. The platform's lead-byte query knows only
// the two-byte form.
size_t Gb18030CharLength(std::string_view bytes) {
    auto at = [&](size_t index) { return static_cast<uint8_t>(bytes[index]); };
    if (!InRange(at(0), 0x81, 0xFE)) {
        return 1;
    }
    if (bytes.size() < 2 || !InRange(at(1), 0x30, 0x39)) {
        return 2;
    }
    if (bytes.size() < 3) {
        return 4;
    }
    return InRange(at(2), 0x81, 0xFE) ? 4 : 3;
}

}  // namespace

size_t CodePageCharLength(int32_t code_page, std::string_view bytes) {
    if (code_page == kGb18030) {
        return Gb18030CharLength(bytes);
    }
    auto lead = static_cast<BYTE>(bytes[0]);
    return IsDBCSLeadByteEx(static_cast<UINT>(code_page), lead) ? 2 : 1;
}

bool DecodeCodePage(int32_t code_page, std::string_view bytes, BaseString& text) {
    if (bytes.empty()) {
        return true;
    }
    if (bytes.size() > INT_MAX) {
        return false;
    }
    UINT page = static_cast<UINT>(code_page);
    DWORD flags = RefusesInvalidCharsFlag(code_page) ? 0 : MB_ERR_INVALID_CHARS;
    int size = static_cast<int>(bytes.size());
    int needed = MultiByteToWideChar(page, flags, bytes.data(), size, nullptr, 0);
    if (needed <= 0) {
        return false;
    }
    size_t before = text.length();
    char16_t* out = text.AppendUninitialized(static_cast<size_t>(needed));
    if (MultiByteToWideChar(page, flags, bytes.data(), size, WidePtr(out), needed) != needed) {
        text.Truncate(before);
        return false;
    }
    return true;
}

bool EncodeCodePage(int32_t code_page, std::u16string_view text, bool allow_best_fit,
                    ByteBuffer& bytes, bool& used_default) {
    used_default = false;
    if (text.empty()) {
        bytes.Clear();
        return true;
    }
    if (text.size() > INT_MAX) {
        return false;
    }
    UINT page = static_cast<UINT>(code_page);
    bool refuses_flags = RefusesConversionFlags(code_page);
    DWORD flags = allow_best_fit || refuses_flags ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL used = FALSE;
    BOOL* used_out = refuses_flags ? nullptr : &used;
    const wchar_t* wide = WidePtr(text.data());
    int length = static_cast<int>(text.size());
    int needed = WideCharToMultiByte(page, flags, wide, length, nullptr, 0, nullptr, used_out);
    if (needed <= 0) {
        return false;
    }
    char* out = reinterpret_cast<char*>(bytes.AppendUninitialized(static_cast<size_t>(needed)));
    if (WideCharToMultiByte(page, flags, wide, length, out, needed, nullptr, used_out) != needed) {
        bytes.Clear();
        return false;
    }
    used_default = used != FALSE;
    return true;
}

}  // namespace Io::Text
