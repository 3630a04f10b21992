#include <gtest/gtest.h>

#include "error/error.h"
#include "launcher/page/template_parser.h"
#include "test_support.h"

namespace {

struct Expected {
    uint32_t depth;
    std::u16string_view name;
    std::u16string_view text;
};

void ExpectSegments(std::u16string_view template_text, std::vector<Expected> expected) {
    std::vector<TemplateSegment> segments = ParseTemplate(BaseString(template_text));
    ASSERT_EQ(segments.size(), expected.size()) << Utf8(BaseString(template_text));
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(segments[i].depth, expected[i].depth) << i;
        EXPECT_EQ(segments[i].block_name, expected[i].name) << i;
        EXPECT_EQ(segments[i].text, expected[i].text) << i;
    }
}

TEST(ParseTemplate, CutsBlocksAtNestedBlocks) {
    ExpectSegments(u"plain %%dir%% text", {{0, u"", u"plain %%dir%% text"}});
    ExpectSegments(u"", {{0, u"", u""}});
    ExpectSegments(u"H<%item%>L</%item%>T", {{0, u"", u"H"}, {1, u"item", u"L"}, {0, u"", u"T"}});
    ExpectSegments(u"A<%g%><ul><%e%><li>%%counter%%</%e%></ul></%g%>Z",
                   {{0, u"", u"A"},
                    {1, u"g", u"<ul>"},
                    {2, u"e", u"<li>%%counter%%"},
                    {1, u"g", u"</ul>"},
                    {0, u"", u"Z"}});
    // Text between top-level blocks belongs to no segment; names are taken as written.
    ExpectSegments(
        u"a<%x%>1</%x%>dropped<% y %>2</% y %>b<%%>3</%%>",
        {{0, u"", u"a"}, {1, u"x", u"1"}, {1, u" y ", u"2"}, {1, u"", u"3"}, {0, u"", u""}});
}

TEST(ParseTemplate, SyntaxErrorsAreTheLocalizedTemplateError) {
    const char16_t* malformed[] = {
        u"<%a",                                // opener without "%>"
        u"text</%a%>",                         // closing tag with no block open
        u"<%a%>never closed",                  // block open at the end
        u"<%a%><%b%></%a%></%b%>",             // closes a block that is not the innermost
        u"<%a%>x</%a",                         // closing tag without "%>"
        u"<%a%><%b%><%a%></%a%></%b%></%a%>",  // a block inside its namesake
    };
    ScopedLanguage japanese(0x0411);
    for (const char16_t* text : malformed) {
        try {
            ParseTemplate(BaseString(text));
            ADD_FAILURE() << "accepted " << Utf8(BaseString(text));
        } catch (const Error& error) {
            EXPECT_EQ(error.CodeAt(0), 0u);
            EXPECT_EQ(error.GetText(), u"HTMLテンプレートの構文エラー");
        }
    }
}

}  // namespace
