#include <gtest/gtest.h>

#include <list>
#include <random>
#include <string>

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
        {"children go to the place of their block, whatever their order in the data",
         u"<%p%>[<%a%>a%%counter</%a%>|<%b%>b%%counter</%b%>]</%p%>",
         u"<content><data><p><b/><a/><b/><a/></p></data></content>", u"[a3a5|b2b4]"},
        {"a child whose block is nested deeper goes to its place in the parent's block",
         u"<%p%>[<%a%>(<%c%>c</%c%>)</%a%>]</%p%>",
         u"<content><data><p><c/><a/></p><p><a/><c/></p></data></content>", u"[()c][()c]"},
        {"blocks nested many levels deep", u"<%b0%>0<%b1%>1<%b2%>2</%b2%>1</%b1%>0</%b0%>",
         u"<content><data><b0><b1><b2/></b1></b0><b0><b2/></b0></data></content>", u"01210020"},
        {"an attribute's value can name a later attribute, or form its macro with the text",
         u"<%i%>[%%i.a%%|%%i.%%i.c%%d%%]</%i%>",
         u"<content><data><i a='%%i.b%%' b='B' c='' d='D' e='E'/></data></content>", u"[B|D]"},
        {"neighbouring top-level blocks of one name render as one", u"<%a%>x</%a%><%a%>y</%a%>.",
         u"<content><data><a/></data></content>", u"xy."},
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

// The page as the rendering rule is written: every segment nested in an item's
// block becomes a slot piece, and an item goes before the first slot piece of
// its parent and its name. Texts here use no macro but "%%counter".
std::u16string SlotByRulePage(const std::vector<TemplateSegment>& segments,
                              const std::vector<PageItem>& items) {
    struct Piece {
        int32_t owner;
        std::u16string text;
        BaseString name;
        bool slot;
    };
    auto counted = [](std::u16string text, int32_t counter) {
        std::u16string number(Base::Format("%d", counter).view());
        for (size_t at; (at = text.find(u"%%counter")) != std::u16string::npos;) {
            text.replace(at, 9, number);
        }
        return text;
    };
    std::list<Piece> pieces;
    int32_t counter = 0;
    for (const PageItem& item : items) {
        ++counter;
        auto at = std::find_if(pieces.begin(), pieces.end(), [&](const Piece& piece) {
            return piece.slot && piece.owner == item.parent_index && piece.name == item.name;
        });
        size_t i = 0;
        while (i < segments.size() && segments[i].block_name != item.name) {
            ++i;
        }
        if (i == segments.size()) {
            continue;
        }
        uint32_t depth = segments[i].depth;
        bool bound = !item.element->attribute(BaseString(u"visibility")).empty();
        if (bound) {
            pieces.insert(
                at, {0, u"<div id=\"vis" + counted(u"%%counter", counter) + u"\">", {}, false});
        }
        for (; i < segments.size(); ++i) {
            const TemplateSegment& segment = segments[i];
            if (segment.depth < depth ||
                (segment.depth == depth && segment.block_name != item.name)) {
                break;
            }
            bool slot = segment.depth > depth;
            pieces.insert(
                at, {item.index, slot ? u"" : counted(std::u16string(segment.text.view()), counter),
                     segment.block_name, slot});
        }
        if (bound) {
            pieces.insert(at, {0, u"</div>", {}, false});
        }
    }
    std::u16string page = counted(std::u16string(segments.front().text.view()), counter);
    for (const Piece& piece : pieces) {
        page += piece.text;
    }
    if (segments.size() >= 2) {
        page += counted(std::u16string(segments.back().text.view()), counter);
    }
    return page;
}

// Random templates of nested blocks and random data over the same few names.
TEST(PageBuilder, PlacesItemsAsTheSlotRuleDoes) {
    std::mt19937 random(20260412);
    const char16_t* names[] = {u"a", u"b", u"c", u"d", u"e"};
    for (int round = 0; round < 3000; ++round) {
        std::u16string page_template = u"<";
        std::vector<const char16_t*> open;
        for (int tags = 0; tags < 14; ++tags) {
            const char16_t* name = names[random() % 4];
            bool can_open =
                std::find(open.begin(), open.end(), std::u16string_view(name)) == open.end();
            if (!open.empty() && (!can_open || random() % 2)) {
                page_template += u"</%" + std::u16string(open.back()) + u"%>" + u"-";
                open.pop_back();
            } else {
                page_template += u"<%" + std::u16string(name) + u"%>" + name + u"%%counter";
                open.push_back(name);
            }
        }
        while (!open.empty()) {
            page_template += u"</%" + std::u16string(open.back()) + u"%>.";
            open.pop_back();
        }
        page_template += u">";
        std::u16string data = u"<content><data>";
        std::vector<const char16_t*> elements;
        for (int step = 0; step < 16; ++step) {
            if (!elements.empty() && random() % 3 == 0) {
                data += u"</" + std::u16string(elements.back()) + u">";
                elements.pop_back();
                continue;
            }
            const char16_t* name = names[random() % 5];
            data += u"<" + std::u16string(name) + (random() % 4 ? u"" : u" visibility='X'") + u">";
            elements.push_back(name);
        }
        while (!elements.empty()) {
            data += u"</" + std::u16string(elements.back()) + u">";
            elements.pop_back();
        }
        data += u"</data></content>";

        Ref<Xml::Document> document = Parse(data);
        PageBuilder builder(0x0409, kExecutable);
        std::vector<TemplateSegment> segments = ParseTemplate(BaseString(page_template));
        std::u16string expected = SlotByRulePage(segments, builder.ReadItems(document));
        ASSERT_EQ(Build(page_template, data, 0x0409).page.view(), expected)
            << Utf8(BaseString(page_template)) << "\n"
            << Utf8(BaseString(data));
    }
}

}  // namespace
