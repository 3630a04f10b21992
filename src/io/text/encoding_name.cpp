#include "io/text/encoding_name.h"

#include <algorithm>

namespace Io::Text {

namespace {

struct EncodingName {
    std::u16string_view name;
    int32_t code_page;
};

// "utf-16" is read but never written, so it follows the names that are.
constexpr EncodingName kNames[] = {
    {u"utf-8", 65001},       {u"utf-16le", 1200},     {u"utf-16be", 1201},
    {u"windows-1250", 1250}, {u"windows-1252", 1252}, {u"ISO-8859-1", 28591},
    {u"ISO-8859-2", 28592},  {u"utf-16", 1200},
};

char16_t FoldCase(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool EqualIgnoringCase(std::u16string_view a, std::u16string_view b) {
    return std::ranges::equal(a, b,
                              [](char16_t x, char16_t y) { return FoldCase(x) == FoldCase(y); });
}

}  // namespace

std::optional<int32_t> CodePageOfEncodingName(std::u16string_view name, int32_t current_code_page) {
    for (const EncodingName& entry : kNames) {
        if (EqualIgnoringCase(name, entry.name)) {
            if (entry.name == u"utf-16" && current_code_page == 1201) {
                return 1201;
            }
            return entry.code_page;
        }
    }
    return std::nullopt;
}

std::u16string_view EncodingNameOfCodePage(int32_t code_page) {
    for (const EncodingName& entry : kNames) {
        if (entry.code_page == code_page) {
            return entry.name;
        }
    }
    return {};
}

}  // namespace Io::Text
