#include <gtest/gtest.h>

#include "base/platform.h"
#include "error/error.h"
#include "launcher/page/page_builder.h"
#include "object/manager.h"
#include "test_support.h"
#include "xml/reader.h"

namespace {

const BaseString kExecutable(Base::kPathSeparator == u'/' ? u"/media/disc/autorun"
                                                          : u"D:\\disc\\autorun.exe");

Ref<Xml::Document> Parse(std::u16string_view xml) {
    return Object::Create<Xml::Reader>(BaseString(Xml::kReaderClsid))->readString(BaseString(xml));
}

struct Built {
    BaseString page;
    VisibilityMap visibility;
    uint32_t language;
};

Built Build(std::u16string_view page_template, std::u16string_view xml, uint32_t language) {
    PageBuilder builder(language, kExecutable);
    Built built;
    built.page = builder.BuildPage(BaseString(page_template), Parse(xml), built.visibility);
    built.language = builder.page_language();
    return built;
}

BaseString ErrorText(std::u16string_view page_template, std::u16string_view xml,
                     uint32_t language = 0x0409) {
    try {
        Build(page_template, xml, language);
    } catch (const Error& error) {
        return error.GetText();
    }
    return BaseString(u"(no error)");
}

TEST(PageBuilder, RendersItemsWithTheBlocksOfTheirNames) {
    struct Case {
        const char* what;
        std::u16string_view page_template;
        std::u16string_view data;
        std::u16string_view page;
    } cases[] = {
        {"no tags: macros and translations only", u"<p>#hello# %%counter items</p>",
         u"<content><translations><L0409><string id='hello' value='Hi'/></L0409></translations>"
         u"<data><a/><b/></data></content>",
         u"<p>Hi 2 items</p>"},
        {"top-level items in data order, attribute macros", u"H<%item%>[%%item.title%%]</%item%>T",
         u"<content><data><item title='One'/><item title='Two'/></data></content>",
         u"H[One][Two]T"},
        {"nested blocks are slots filled by the children",
         u"A<%group%><ul><%entry%><li>%%counter</li></%entry%></ul></%group%>Z",
         u"<content><data><group><entry/><entry/></group></data></content>",
         u"A<ul><li>2</li><li>3</li></ul>Z"},
        {
            "an entry whose parent has no slot of its name goes at the end",
            u"<%group%>(<%x%>x</%x%>)</%group%><%entry%>e%%counter</%entry%>.",
            u"<content><data><group><entry/></group><group/></data></content>",
            u"()e2().",
        },
        {"text between top-level blocks never reaches the page",
         u"<%a%>A</%a%> dropped <%b%>B</%b%>", u"<content><data><b/><a/></data></content>", u"BA"},
        {"items without a block render nothing but their children", u"<%leaf%>%%leaf.n%%;</%leaf%>",
         u"<content><data><box><leaf n='1'/></box><leaf n='2'/></data></content>", u"1;2;"},
        {"transparent data elements", u"<%b%>%%counter:%%b.v%%</%b%>",
         u"<content><data><data><b v='x'/></data></data></content>", u"1:x"},
        {"an attribute's own macros: %%lang and the item's counter", u"<%i%>%%i.label%%|</%i%>",
         u"<content><data><i label='%%lang-%%counter'/><i "
         u"label='%%lang-%%counter'/></data></content>",
         u"0409-1|0409-2|"},
        {"translations are applied last and are not expanded themselves", u"#a# %%lang",
         u"<content><translations><L0409><string id='a' value='%%lang'/></L0409></translations>"
         u"<data/></content>",
         u"%%lang 0409"},
        {"an earlier key's text can hold a later key", u"#a# #z#",
         u"<content><translations><L0409><string id='a' value='#b#'/><string id='b' value='B'/>"
         u"<string id='z' value='#b#'/></L0409></translations><data/></content>",
         u"B #b#"},
        {"a comment before translations: no translations at all", u"#a#",
         u"<content><!--c--><translations><L0409><string id='a' value='A'/></L0409>"
         u"</translations><data/></content>",
         u"#a#"},
        {"translations as the second child are ignored", u"#a#",
         u"<content><data/><translations><L0409><string id='a' value='A'/></L0409>"
         u"</translations></content>",
         u"#a#"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Build(c.page_template, c.data, 0x0409).page, c.page);
    }
}

TEST(PageBuilder, VisibilityWrapperEnclosesTheWholeItem) {
    Built built =
        Build(u"<%i%>i</%i%><%g%>[<%e%>e</%e%>]</%g%>",
              u"<content><data><i/><i/><i/><i/>"
              u"<g visibility='CID_Test::Shown'><e/></g><i visibility=''/></data></content>",
              0x0409);
    EXPECT_EQ(built.page, u"iiii<div id=\"vis5\">[e]</div>i");
    EXPECT_EQ(built.visibility, (VisibilityMap{{u"vis5", u"CID_Test::Shown"}}));
}

TEST(PageBuilder, BuiltinMacros) {
    Built built = Build(u"%%fullmodule|%%module|%%rdir|%%dir|%%platform",
                        u"<content><data/></content>", 0x0409);
    std::u16string_view expected = Base::kPathSeparator == u'/'
                                       ? u"/media/disc/autorun|autorun|/media/disc|/media/disc|"
                                       : u"D:\\disc\\autorun.exe|autorun.exe|D:\\disc|D:/disc|";
    EXPECT_EQ(built.page.view().substr(0, expected.size()), expected);
    EXPECT_EQ(built.page.view().substr(expected.size()),
              Base::IsSystem64Bit() ? u"64-bit" : u"32-bit");
}

TEST(PageBuilder, LanguageFallsBackToEnglish) {
    const std::u16string_view page = u"%%lang #t#";
    struct Case {
        uint32_t language;
        std::u16string_view translations;
        std::u16string_view page;
    } cases[] = {
        {0x0407,
         u"<L0409><string id='t' value='en'/></L0409><L0407><string id='t' value='de'/></L0407>",
         u"0407 de"},
        {0x0407, u"<L0409><string id='t' value='en'/></L0409>", u"0409 en"},
        {0x0407, u"<L0407/><L0409><string id='t' value='en'/></L0409>", u"0409 en"},
        {0x0C0A,
         u"<L0C0A><string id='t' value='es'/></L0C0A><L0409><string id='t' value='en'/></L0409>",
         u"0409 en"},
        {0x0C0A, u"<L0c0a><string id='t' value='es'/></L0c0a>", u"0c0a es"},
        {0x0405, u"<L0411><string id='t' value='ja'/></L0411>", u"0405 #t#"},
        // A duplicate in a language that is not chosen is never looked at.
        {0x0407,
         u"<L0409><string id='t'/><string id='t'/></L0409><L0407><string id='t' "
         u"value='de'/></L0407>",
         u"0407 de"},
    };
    for (const Case& c : cases) {
        std::u16string xml = u"<content><translations>" + std::u16string(c.translations) +
                             u"</translations><data/></content>";
        EXPECT_EQ(Build(page, xml, c.language).page, c.page) << Utf8(BaseString(c.translations));
    }
}

TEST(PageBuilder, FormatErrors) {
    ScopedLanguage english(0x0409);
    const std::u16string_view language_error = u"Incorrect format in XML language file.";
    const std::u16string_view data_error = u"Incorrect format in XML data file.";
    const std::u16string_view cast_error =
        u"An internal error occurred (autorun: Cast<IID_Xml::ParentNode>).";
    struct Case {
        std::u16string_view data;
        std::u16string_view error;
    } cases[] = {
        {u"<!--c--><content><data/></content>", language_error},
        {u"<content><data/></content><!--c-->", language_error},
        {u"<other><data/></other>", language_error},
        {u"<content/>", language_error},
        {u"<content><translations><L0409><string "
         u"id='a'/><!--c--></L0409></translations><data/></content>",
         language_error},
        {u"<content><translations><L0409><string id='a'/><string id='a'/></L0409></translations>"
         u"<data/></content>",
         language_error},
        {u"<content><translations><L0409><string/><string/></L0409></translations><data/></"
         u"content>",
         language_error},
        {u"<content><translations/></content>", data_error},
        {u"<content><datum/></content>", data_error},
        {u"<content><data><item> </item></data></content>", cast_error},
        {u"<content><data><item><!--c--></item></data></content>", cast_error},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ErrorText(u"page", c.data), c.error) << Utf8(BaseString(c.data));
    }
    // A template error comes first, before the data is looked at.
    EXPECT_EQ(ErrorText(u"<%a%>", u"<other/>"), u"Syntax error in the HTML template.");
    EXPECT_EQ(ErrorText(u"ok", u"<content><data><item></item><empty/></data></content>"),
              u"(no error)");
}

TEST(PageBuilder, ItemsInDocumentOrderWithTheirParents) {
    PageBuilder builder(0x0409, kExecutable);
    std::vector<PageItem> items =
        builder.ReadItems(Parse(u"<content><data><A><B/><B/></A><C/></data></content>"));
    ASSERT_EQ(items.size(), 4u);
    const std::pair<int32_t, std::u16string_view> expected[] = {
        {0, u"A"}, {1, u"B"}, {1, u"B"}, {0, u"C"}};
    for (size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].index, static_cast<int32_t>(i + 1));
        EXPECT_EQ(items[i].parent_index, expected[i].first);
        EXPECT_EQ(items[i].name, expected[i].second);
    }
}

}  // namespace
