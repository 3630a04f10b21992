#include <gtest/gtest.h>

#include "base/format.h"
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

TEST(ParseTemplate, SegmentsKnowWhereTheyAndTheirBlocksStart) {
    const std::u16string_view text = u"H<%g%>G1<%e%>E</%e%>G2</%g%>x<%e%>F</%e%>T";
    std::vector<TemplateSegment> segments = ParseTemplate(BaseString(text));
    const std::pair<size_t, size_t> expected[] = {{0, 0},  {6, 1},   {13, 8},
                                                  {20, 1}, {34, 29}, {41, 0}};
    ASSERT_EQ(segments.size(), std::size(expected));
    for (size_t i = 0; i < segments.size(); ++i) {
        EXPECT_EQ(segments[i].start, expected[i].first) << i;
        EXPECT_EQ(text.substr(segments[i].start, segments[i].text.length()),
                  segments[i].text.view())
            << i;
        EXPECT_EQ(segments[i].block_tag, expected[i].second) << i;
    }
}

TEST(ParseTemplate, CollectsEveryProblemAndGoesOn) {
    using Kind = TemplateProblem::Kind;
    struct Expected {
        Kind kind;
        size_t at;
        std::u16string_view name;
        std::u16string_view open;
    };
    struct Case {
        std::u16string_view text;
        std::vector<Expected> problems;
        size_t segments;
    } cases[] = {
        {u"ok<%a%>x</%a%>", {}, 3},
        {u"x</%a%>y<%b%>z</%b%>", {{Kind::kNoBlockOpen, 1, u"a", u""}}, 3},
        {u"<%a%><%b%></%a%>t", {{Kind::kWrongBlockClosed, 10, u"a", u"b"}}, 5},
        {u"<%a%>x</%c%>y</%a%>", {{Kind::kWrongBlockClosed, 6, u"c", u"a"}}, 3},
        {u"<%a%><%b%><%a%></%a%></%b%></%a%>", {{Kind::kNestedInNamesake, 10, u"a", u""}}, 7},
        {u"<%a%>x<%b%>y",
         {{Kind::kBlockNotClosed, 6, u"b", u""}, {Kind::kBlockNotClosed, 0, u"a", u""}},
         5},
        {u"<%a%>x</%a",
         {{Kind::kTagNotEnded, 6, u"", u""}, {Kind::kBlockNotClosed, 0, u"a", u""}},
         3},
    };
    for (const Case& c : cases) {
        std::vector<TemplateProblem> problems;
        std::vector<TemplateSegment> segments = ParseTemplate(BaseString(c.text), problems);
        EXPECT_EQ(segments.size(), c.segments) << Utf8(BaseString(c.text));
        ASSERT_EQ(problems.size(), c.problems.size()) << Utf8(BaseString(c.text));
        for (size_t i = 0; i < problems.size(); ++i) {
            EXPECT_EQ(problems[i].kind, c.problems[i].kind) << Utf8(BaseString(c.text)) << i;
            EXPECT_EQ(problems[i].at, c.problems[i].at) << Utf8(BaseString(c.text)) << i;
            EXPECT_EQ(problems[i].name, c.problems[i].name) << Utf8(BaseString(c.text)) << i;
            EXPECT_EQ(problems[i].open, c.problems[i].open) << Utf8(BaseString(c.text)) << i;
        }
    }
}

// Nesting far deeper than any real template: one pass, no recursion.
TEST(ParseTemplate, DeepNesting) {
    constexpr int kDepth = 100000;
    std::u16string text;
    for (int i = 0; i < kDepth; ++i) {
        text.append(u"<%b").append(Base::Format("%d", i).view()).append(u"%>.");
    }
    for (int i = kDepth; i-- > 0;) {
        text.append(u"</%b").append(Base::Format("%d", i).view()).append(u"%>");
    }
    std::vector<TemplateSegment> segments = ParseTemplate(BaseString(text));
    ASSERT_EQ(segments.size(), 2u * kDepth + 1);
    EXPECT_EQ(segments[kDepth].depth, static_cast<uint32_t>(kDepth));
    EXPECT_EQ(segments[kDepth].text, u".");
}

}  // namespace
