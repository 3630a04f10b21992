#include "io/text/code_page.h"
#include "io/text/code_page_tables.h"

namespace Io::Text {

namespace {

constexpr uint8_t kDefaultByte = '?';

}  // namespace

size_t CodePageCharLength(int32_t, std::string_view) {
    return 1;
}

bool DecodeCodePage(int32_t code_page, std::string_view bytes, BaseString& text) {
    const CodePageTable* table = FindCodePageTable(code_page);
    if (!table) {
        return false;
    }
    char16_t* out = text.AppendUninitialized(bytes.size());
    for (char byte : bytes) {
        *out++ = table->to_unicode[static_cast<uint8_t>(byte)];
    }
    return true;
}

bool EncodeCodePage(int32_t code_page, std::u16string_view text, bool allow_best_fit,
                    ByteBuffer& bytes, bool& used_default) {
    used_default = false;
    const CodePageTable* table = FindCodePageTable(code_page);
    if (!table) {
        return false;
    }
    uint8_t* out = bytes.AppendUninitialized(text.size());
    for (char16_t character : text) {
        const CodePageEncoding* row = FindEncoding(*table, character);
        if (row && (allow_best_fit || !row->best_fit)) {
            *out++ = row->byte;
        } else {
            *out++ = kDefaultByte;
            used_default = true;
        }
    }
    return true;
}

}  // namespace Io::Text
