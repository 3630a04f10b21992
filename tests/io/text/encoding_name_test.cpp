#include <gtest/gtest.h>

#include "io/text/encoding_name.h"

namespace {

TEST(EncodingName, NamesAndCodePages) {
    struct Case {
        const char16_t* name;
        int32_t current;
        std::optional<int32_t> code_page;
    } cases[] = {
        {u"utf-8", -1, 65001},
        {u"UTF-8", 65001, 65001},
        {u"utf-16", 65001, 1200},
        {u"UTF-16", 1201, 1201},
        {u"utf-16", 1200, 1200},
        {u"Utf-16LE", 1201, 1200},
        {u"utf-16be", 1200, 1201},
        {u"WINDOWS-1250", 65001, 1250},
        {u"windows-1252", 65001, 1252},
        {u"iso-8859-1", 65001, 28591},
        {u"ISO-8859-2", 65001, 28592},
        {u"latin1", 65001, std::nullopt},
        {u"utf-8 ", 65001, std::nullopt},
        {u"", 65001, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Io::Text::CodePageOfEncodingName(c.name, c.current), c.code_page) << c.current;
    }
    EXPECT_EQ(Io::Text::EncodingNameOfCodePage(65001), u"utf-8");
    EXPECT_EQ(Io::Text::EncodingNameOfCodePage(1200), u"utf-16le");
    EXPECT_EQ(Io::Text::EncodingNameOfCodePage(1201), u"utf-16be");
    EXPECT_EQ(Io::Text::EncodingNameOfCodePage(28591), u"ISO-8859-1");
    EXPECT_EQ(Io::Text::EncodingNameOfCodePage(932), u"");
}

}  // namespace
