#include <gtest/gtest.h>

#include "chunk_streams.h"
#include "io/text/decoder.h"
#include "object/manager.h"
#include "temp_folder.h"
#include "test_support.h"
#include "xml/node_positions.h"
#include "xml/reader.h"
#include "xml_test_support.h"

namespace {

Ref<Xml::Reader> NewReader() {
    return Object::Create<Xml::Reader>(Xml::kReaderClsid);
}

// The tree read from the text, or the error tag; the same for readString and
// for sources that cut the text into chunks of every small length.
std::string ReadEveryWay(const BaseString& text) {
    Ref<Xml::Reader> reader = NewReader();
    std::string whole;
    std::string tag = XmlErrorTag([&] { whole = Dump(reader->readString(text)); });
    std::string expected = tag == "no error" ? whole : tag;
    for (size_t chunk_length : {1, 2, 3, 5, 64}) {
        std::string chunked;
        tag = XmlErrorTag(
            [&] { chunked = Dump(reader->readSource(TextSourceOf(text, chunk_length))); });
        EXPECT_EQ(tag == "no error" ? chunked : tag, expected)
            << "chunks of " << chunk_length << " for " << Utf8(text);
    }
    return expected;
}

struct Case {
    const char16_t* text;
    const char* expected;  // the tree, or the error tag with line and column
};

void ExpectCases(const Case* begin, const Case* end) {
    for (const Case* c = begin; c != end; ++c) {
        EXPECT_EQ(ReadEveryWay(c->text), c->expected) << Utf8(c->text);
    }
}

TEST(XmlReader, Structure) {
    const Case cases[] = {
        {u"<a/>", "a"},
        {u"<a></a >", "a"},
        {u"<a\n b = '1'\t/>", "a[b=1]"},
        {u"<?xml version='1.0'?>\n<!-- c -->\n<root a='1'>t</root>\n",
         "<!-- c --> root[a=1](\"t\")"},
        {u"<a><b><c/></b><d/></a><!--after-->", "a(b(c) d) <!--after-->"},
        {u"", "xml-parser-syntax-struc(1:1)"},
        {u"  \n ", "xml-parser-syntax-struc(2:2)"},
        {u"<?xml version='1.0'?>", "xml-parser-syntax-struc(1:22)"},
        {u"<!--only-->", "xml-parser-syntax-struc(1:12)"},
        {u"<a>x</a><b/>", "xml-parser-syntax-struc(1:10)"},
        {u"x<a/>", "xml-parser-syntax-struc(1:1)"},
        {u"<a/>\n x", "xml-parser-syntax-struc(2:2)"},
        {u"<a/> </a>", "xml-parser-syntax-struc(1:7)"},
        {u"<a></b>", "xml-parser-syntax-struc(1:7)"},
        {u"<a></ab>", "xml-parser-syntax-struc(1:8)"},
        {u"<ab></a>", "xml-parser-syntax-struc(1:8)"},
        {u"<a></a></a>", "xml-parser-syntax-struc(1:11)"},
        {u"</a>", "xml-parser-syntax-struc(1:4)"},
        {u"<a></ a>", "xml-parser-syntax-struc(1:6)"},
        {u"<a><b></a>", "xml-parser-syntax-struc(1:10)"},
        {u"<a><b>", "xml-parser-syntax-struc(1:7)"},
        {u"<a></a x>", "xml-parser-syntax(1:8)"},
        {u"<a>\n  <", "xml-parser-syntax(2:4)"},
        {u"<a/ >", "xml-parser-syntax(1:4)"},
        {u"<a b/>", "xml-parser-syntax(1:5)"},
        {u"<a b='1'c='2'/>", "xml-parser-syntax(1:9)"},
        {u"<a b='1'", "xml-parser-syntax(1:9)"},
        {u"<a><?pi?></a>", "xml-parser-syntax(1:5)"},
        {u"<a><!x/></a>", "xml-parser-syntax(1:6)"},
        {u"<a>< b/></a>", "xml-parser-syntax(1:5)"},
        {u"<\u00B7a/>", "xml-parser-syntax(1:2)"},
        {u"<\u00E9 \u00FC\u0301='1'/>", "\u00E9[\u00FC\u0301=1]"},
        // A carriage return is an ordinary character: only line feeds count.
        {u"\r\n<a>\r\r</b>", "xml-parser-syntax-struc(2:9)"},
    };
    ExpectCases(std::begin(cases), std::end(cases));
}

TEST(XmlReader, Whitespace) {
    const Case cases[] = {
        {u"<a> </a>", "a(\" \")"},
        {u"<a> <b/> </a>", "a(b)"},
        {u"<a> x </a>", "a(\" x \")"},
        {u"<a>\n<!--c-->\n</a>", "a(<!--c-->)"},
        {u"<a>\n  <b>\n  </b>\n</a>", "a(b(\"\n  \"))"},
        {u"<a>x<b/> y <c/>\n</a>", "a(\"x\" b \" y \" c)"},
        {u" \t\r\n<a/>\n", "a"},
    };
    ExpectCases(std::begin(cases), std::end(cases));
}

TEST(XmlReader, ReferencesAndAttributeValues) {
    const Case cases[] = {
        {u"<a>&lt;&#65;&#x42;&apos;</a>", "a(\"<AB'\")"},
        {u"<a>&amp;&gt;&quot;&#x6a;&#X41;</a>", "xml-parser-syntax-entity(1:27)"},
        {u"<a>&nbsp;</a>", "xml-parser-syntax-entity(1:5)"},
        {u"<a>&amp</a>", "xml-parser-syntax-entity(1:8)"},
        {u"<a>&;</a>", "xml-parser-syntax-entity(1:5)"},
        {u"<a>&#;</a>", "xml-parser-syntax-entity(1:6)"},
        {u"<a>&#x;</a>", "xml-parser-syntax-entity(1:7)"},
        {u"<a>&#12a;</a>", "xml-parser-syntax-entity(1:8)"},
        {u"<a>&quo;</a>", "xml-parser-syntax-entity(1:8)"},
        // Above U+FFFF a reference gives the surrogate pair; U+0000, the
        // surrogates and anything above U+10FFFF are refused.
        {u"<a>&#x1F600;&#65536;&#x10FFFF;</a>", "a(\"\U0001F600\U00010000\U0010FFFF\")"},
        {u"<a>x&#0;y</a>", "xml-parser-syntax-entity(1:8)"},
        {u"<a>&#xD800;</a>", "xml-parser-syntax-entity(1:11)"},
        {u"<a>&#57343;</a>", "xml-parser-syntax-entity(1:11)"},
        {u"<a>&#x110000;</a>", "xml-parser-syntax-entity(1:13)"},
        {u"<a>&#99999999999999999999;</a>", "xml-parser-syntax-entity(1:26)"},
        {u"<a b=\"it's &amp; &quot;\" c='\"&#x3c;'/>", "a[b=it's & \",c=\"<]"},
        {u"<a b=' \t x '/>", "a[b= \t x ]"},
        {u"<a b='1' b='2'/>", "a[b=2]"},
        {u"<a c='1' b='2' c='3' a='4' b='5' B='6'/>", "a[B=6,a=4,b=5,c=3]"},
        {u"<a b=''/>", "a[b=]"},
        {u"<a b=1/>", "xml-parser-syntax-attval(1:6)"},
        {u"<a b='x<y'/>", "xml-parser-syntax-attval(1:8)"},
        {u"<a b='x", "xml-parser-syntax-attval(1:8)"},
        {u"<a b='&bad;'/>", "xml-parser-syntax-entity(1:8)"},
    };
    ExpectCases(std::begin(cases), std::end(cases));
}

TEST(XmlReader, CommentsAndCdata) {
    const Case cases[] = {
        {u"<!--c--><a/>", "<!--c--> a"},
        {u"<a><!--x-y--><!----></a>", "a(<!--x-y--> <!---->)"},
        {u"<a><!--x--y--></a>", "xml-parser-syntax-comment(1:11)"},
        {u"<a><!--x---></a>", "xml-parser-syntax-comment(1:11)"},
        {u"<a><!-x--></a>", "xml-parser-syntax-comment(1:7)"},
        {u"<a><!--x\n", "xml-parser-syntax-eof(2:1)"},
        {u"<a><!--x-", "xml-parser-syntax-eof(1:10)"},
        {u"<a><![CDATA[x]]></a>", "a(<![CDATA[x]]>)"},
        {u"<a><![CDATA[]]></a>", "a(<![CDATA[]]>)"},
        {u"<a><![CDATA[<&>]>]]]]]></a>", "a(<![CDATA[<&>]>]]]]]>)"},
        {u"<a><![CDATA[a]b]]c]]></a>", "a(<![CDATA[a]b]]c]]>)"},
        {u"<a><![CDATA[x]]]></a>", "xml-parser-syntax-eof(1:22)"},
        {u"<a><![CDATA[x]", "xml-parser-syntax-eof(1:15)"},
        {u"<a><![CDAT[x]]></a>", "xml-parser-syntax-cdata(1:11)"},
        {u"<a><![cdata[x]]></a>", "xml-parser-syntax-cdata(1:7)"},
        {u"<![CDATA[x]]><a/>", "xml-parser-syntax-struc(1:3)"},
    };
    ExpectCases(std::begin(cases), std::end(cases));
}

TEST(XmlReader, Declaration) {
    const Case cases[] = {
        {u"<?xml?><a/>", "a"},
        {u"<?xml version=\"1.0\" encoding='unknown' standalone='no' ?><a/>", "a"},
        {u"<?xml encoding = 'x'?><a/>", "a"},
        {u"<?xml version='1.0' standalone='yes' encoding='utf-8'?><a/>",
         "xml-parser-syntax-header(1:46)"},
        {u"<?xml version='1' version='1'?><a/>", "xml-parser-syntax-header(1:26)"},
        {u"<?xml foo='1'?><a/>", "xml-parser-syntax-header(1:10)"},
        {u"<?XML?><a/>", "xml-parser-syntax-header(1:6)"},
        {u"<?xmlx?><a/>", "xml-parser-syntax-header(1:7)"},
        {u"<? xml?><a/>", "xml-parser-syntax-header(1:3)"},
        {u"<?xml version='1'encoding='x'?><a/>", "xml-parser-syntax-header(1:18)"},
        {u"<?xml version '1'?><a/>", "xml-parser-syntax-header(1:15)"},
        {u"<?xml version=1?><a/>", "xml-parser-syntax-header(1:15)"},
        {u"<?xml version='1' ?x<a/>", "xml-parser-syntax-header(1:20)"},
        {u"<?xml version='1", "xml-parser-syntax-attval(1:17)"},
        {u"<a/><?xml?>", "xml-parser-syntax(1:6)"},
        {u" <?xml?><a/>", "xml-parser-syntax(1:3)"},
    };
    ExpectCases(std::begin(cases), std::end(cases));
}

// The reader tries first the name that followed the last one the time before:
// a name that only starts or ends like that one, or an error right after it,
// reads as any other.
TEST(XmlReader, NamesInTheOrderOfBefore) {
    const Case cases[] = {
        {u"<r><a b='1' c='2'/><a b='3' c='4'/></r>", "r(a[b=1,c=2] a[b=3,c=4])"},
        {u"<r><a b='1'/><a bc='2'/><a b='3'/></r>", "r(a[b=1] a[bc=2] a[b=3])"},
        {u"<r><a bc='1'/><a b='2'/></r>", "r(a[bc=1] a[b=2])"},
        {u"<r><item-name-long/><item-name-longer/><item-name-long/></r>",
         "r(item-name-long item-name-longer item-name-long)"},
        {u"<r><a b='1'/><a b/></r>", "xml-parser-syntax(1:18)"},
        {u"<r><a b='1'/><a b='2'></ab></r>", "xml-parser-syntax-struc(1:27)"},
    };
    ExpectCases(std::begin(cases), std::end(cases));
}

TEST(XmlReader, RepeatedNamesShareOneString) {
    Ref<Xml::Document> document =
        NewReader()->readString(u"<r><item k='1'/><item k='2'><k/></item></r>");
    std::vector<Ref<Xml::Node>> items = document->rootElement()->children();
    EXPECT_TRUE(items[0]->value().SharesStorageWith(items[1]->value()));
    std::vector<BaseString> first = Cast<Xml::Element>(items[0], "test")->attributeNames();
    std::vector<BaseString> second = Cast<Xml::Element>(items[1], "test")->attributeNames();
    EXPECT_TRUE(first[0].SharesStorageWith(second[0]));
    EXPECT_TRUE(first[0].SharesStorageWith(
        Cast<Xml::ParentNode>(items[1], "test")->children()[0]->value()));
}

// The tree keeps the texts it was read from: they stay as they were while
// parts of the tree live, whatever happens to the text given or to the rest of
// the tree, and edits of read nodes leave the others alone.
TEST(XmlReader, TreeKeepsItsTexts) {
    const std::u16string xml =
        u"<r a='v&amp;1' b='2'><item k='1'>t&lt;x</item>"
        u"<item k='2'><![CDATA[c]]><!--m--></item><long name='" +
        std::u16string(300, u'n') + u"'>" + std::u16string(300, u't') + u"</long></r>";
    const std::string long_element =
        "long[name=" + std::string(300, 'n') + "](\"" + std::string(300, 't') + "\")";
    const std::string expected =
        "r[a=v&1,b=2](item[k=1](\"t<x\") item[k=2](<![CDATA[c]]> <!--m-->) " + long_element + ")";
    for (size_t chunk_length : {0, 1, 7, 64}) {
        Ref<Xml::Element> item;
        Ref<Xml::Element> last;
        {
            BaseString text(xml);
            Ref<Xml::Document> document =
                chunk_length == 0 ? NewReader()->readString(text)
                                  : NewReader()->readSource(TextSourceOf(xml, chunk_length));
            // The caller's string changes; the tree does not.
            text.MutableData()[1] = u'x';
            text.Append(u"more");
            EXPECT_EQ(Dump(document), expected) << chunk_length;
            Ref<Xml::Element> root = document->rootElement();
            std::vector<Ref<Xml::Node>> children = root->children();
            item = Cast<Xml::Element>(children[1], "test");
            last = Cast<Xml::Element>(children[2], "test");
            root->setAttribute(u"a", u"changed");
            root->removeAttribute(u"b");
            Cast<Xml::Element>(children[0], "test")->setValue(u"renamed");
            root->normalize(Xml::NormalizeFlags::kMergeTexts | Xml::NormalizeFlags::kCdataAsText);
            EXPECT_EQ(Dump(root), "r[a=changed](renamed[k=1](\"t<x\") item[k=2](\"c\" <!--m-->) " +
                                      long_element + ")")
                << chunk_length;
        }
        // The document is gone; what is held of it still reads as read.
        EXPECT_EQ(Dump(item), "item[k=2](\"c\" <!--m-->)") << chunk_length;
        EXPECT_EQ(Dump(last), long_element) << chunk_length;
        item->setAttribute(u"k", u"3");
        EXPECT_EQ(Dump(item), "item[k=3](\"c\" <!--m-->)") << chunk_length;
    }
}

TEST(XmlReader, IsItsOwnFactory) {
    EXPECT_EQ(NewReader().Identity(), NewReader().Identity());
    EXPECT_EQ(XmlErrorTag([] { NewReader()->readSource(nullptr); }),
              "xml-parser-syntax-struc(1:1)");
}

std::string Utf16Bytes(std::u16string_view text, bool big_endian) {
    std::string bytes = big_endian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t unit : text) {
        char low = static_cast<char>(unit & 0xFF);
        char high = static_cast<char>(unit >> 8);
        bytes += big_endian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

TEST(XmlReaderFile, ReadsEveryUnicodeEncoding) {
    TempFolder folder;
    const std::u16string text = u"<?xml version='1.0'?>\n<a b='\u00E9'>\u00FC\U0001F600</a>";
    const std::string utf8 = BaseString(text).ToUtf8();
    const std::pair<const char*, std::string> files[] = {
        {"UTF-8", utf8},
        {"UTF-8 with its mark", "\xEF\xBB\xBF" + utf8},
        {"UTF-16LE", Utf16Bytes(text, false)},
        {"UTF-16BE", Utf16Bytes(text, true)},
    };
    for (const auto& [what, bytes] : files) {
        folder.WriteFile(u"data.xml", bytes);
        Ref<Xml::Document> document = NewReader()->readFile(folder.Child(u"data.xml")->text());
        EXPECT_EQ(Dump(document), "a[b=\u00E9](\"\u00FC\U0001F600\")") << what;
    }
}

TEST(XmlReaderFile, FileDeclaredWindows1252) {
    TempFolder folder;
    folder.WriteFile(u"data.xml",
                     "<?xml version='1.0' encoding='windows-1252'?>\n<a b='\xE9'>\x80 \x9F</a>");
    EXPECT_EQ(Dump(NewReader()->readFile(folder.Child(u"data.xml")->text())),
              "a[b=\u00E9](\"\u20AC \u0178\")");
}

// The declaration's encoding, read from bytes through a decoder cut into
// chunks of every small size: the tree, or the error.
std::string ReadBytesEveryWay(const std::string& bytes) {
    std::string expected;
    for (size_t chunk_size : {0, 1, 2, 3, 7}) {
        std::string outcome;
        std::string tag = XmlErrorTag([&] {
            outcome = Dump(NewReader()->readSource(
                Io::Text::CreateDecoder(SourceOf(bytes, chunk_size), true)));
        });
        if (tag != "no error") {
            outcome = tag;
        }
        if (chunk_size == 0) {
            expected = outcome;
        }
        EXPECT_EQ(outcome, expected) << "chunks of " << chunk_size << " for " << bytes;
    }
    return expected;
}

TEST(XmlReaderFile, DeclaredEncodingSwitchesTheDecoder) {
    const std::string utf16_declared_utf8 =
        Utf16Bytes(u"<?xml version='1.0' encoding='utf-8'?><a/>", false);
    const std::pair<std::string, const char*> cases[] = {
        // Decoded as windows-1252 from the character after the name on.
        {"<?xml version='1.0' encoding='windows-1252'?><a>\xC3\xA9</a>", "a(\"\u00C3\u00A9\")"},
        {"<?xml encoding=\"ISO-8859-2\" standalone='yes'?>\n<a b='\xB1'>\xA3</a>",
         "a[b=\u0105](\"\u0141\")"},
        {"<?xml version='1.0' encoding='UTF-8'?><a>\xC3\xA9</a>", "a(\"\u00E9\")"},
        {"\xEF\xBB\xBF<?xml encoding='utf-8'?><a/>", "a"},
        {"<?xml version='1.0' encoding='utf-16'?><a/>", "xml-parser-not-supp-enc(65001->1200)"},
        {"<?xml version='1.0' encoding='UTF-16BE'?><a/>", "xml-parser-not-supp-enc(65001->1201)"},
        {utf16_declared_utf8, "xml-parser-not-supp-enc(1200->65001)"},
        {"<?xml version='1.0' encoding='latin-9'?><a/>", "xml-parser-not-supp-enc(latin-9)"},
        // The declaration's own errors come first.
        {"<?xml encoding='latin-9' version='1.0'?><a/>", "xml-parser-not-supp-enc(latin-9)"},
        {"<?xml version='1.0' encoding='windows-1252'", "xml-parser-syntax-header(1:44)"},
        {"<a>\xC3</a>", "An internal error occurred (text: text-dec-inv-char)."},
    };
    for (const auto& [bytes, expected] : cases) {
        EXPECT_EQ(ReadBytesEveryWay(bytes), expected) << bytes;
    }
}

TEST(XmlReaderFile, PositionsCountOverFileChunks) {
    TempFolder folder;
    // Far beyond one read of the file, with the error on the last line.
    std::string text = "<a>\n";
    for (int line = 0; line < 5000; ++line) {
        text += "  <item name='\xC3\xA9l\xC3\xA9ment'>text &amp; more</item>\n";
    }
    text += "  <b></a>";
    folder.WriteFile(u"big.xml", text);
    EXPECT_EQ(XmlErrorTag([&] { NewReader()->readFile(folder.Child(u"big.xml")->text()); }),
              "xml-parser-syntax-struc(5002:9)");
}

TEST(XmlReaderFile, FileErrorsPassThrough) {
    TempFolder folder;
    ScopedLanguage english(0x0409);
    try {
        NewReader()->readFile(folder.Child(u"missing.xml")->text());
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_TRUE(error.Has(ErrNotFound));
        EXPECT_TRUE(error.GetText().StartsWith(u"Cannot open file")) << Utf8(error.GetText());
    }
}

// Every node of the tree in document order with where it starts, as
// "a@1:1 \"x\"@1:4".
std::string PositionsOf(const Ref<Xml::Node>& node, const Xml::NodePositions& positions) {
    std::string out;
    if (node->kind() != Xml::kDocumentKind) {
        std::optional<Xml::TextPosition> at = positions.Find(node);
        std::string what = node->kind() == Xml::kElementKind ? Utf8(node->value())
                                                             : "\"" + Utf8(node->value()) + "\"";
        out += what + "@" +
               (at ? std::to_string(at->line) + ":" + std::to_string(at->column) : "none") + " ";
    }
    if (Ref<Xml::ParentNode> parent = SoftCast<Xml::ParentNode>(node)) {
        for (const Ref<Xml::Node>& child : parent->children()) {
            out += PositionsOf(child, positions);
        }
    }
    return out;
}

TEST(XmlReaderPositions, EveryNodeStartsWhereItsMarkupDoes) {
    const char16_t text[] =
        u"<?xml version='1.0'?>\r\n<!--c-->\n<a x='1'\n   y='2'>t&amp;u<b/>\n"
        u"  <![CDATA[d]]><c>  </c><e>\u00E9<f\n/></e></a>";
    Xml::NodePositions positions;
    Ref<Xml::Document> document = Xml::ReadStringNotingPositions(BaseString(text), positions);
    EXPECT_EQ(PositionsOf(document, positions),
              "\"c\"@2:1 a@3:1 \"t&u\"@4:10 b@4:17 \"d\"@5:3 c@5:16 \"  \"@5:19 e@5:25 "
              "\"\u00E9\"@5:28 f@5:29 ");
    // A table answers only for the nodes read with it.
    Xml::NodePositions other;
    Ref<Xml::Document> again = Xml::ReadStringNotingPositions(BaseString(text), other);
    EXPECT_FALSE(positions.Find(again->rootElement()));
    EXPECT_TRUE(other.Find(again->rootElement()));
}

TEST(XmlReaderPositions, FilesReadInChunksAndDeclaredEncodings) {
    TempFolder folder;
    // Far beyond one read of the file; lines of every length from 0 to 30 so
    // that chunks end everywhere in a tag; windows-1252 after the declaration.
    std::string bytes = "<?xml version='1.0' encoding='windows-1252'?>\n<list>\n";
    std::string expected = "list@2:1 ";
    for (int line = 3; line < 8000; ++line) {
        std::string indent(line % 31, ' ');
        bytes += indent + "<i n='\xE9'>x</i>\n";
        expected += "i@" + std::to_string(line) + ":" + std::to_string(indent.size() + 1) +
                    " \"x\"@" + std::to_string(line) + ":" + std::to_string(indent.size() + 10) +
                    " ";
    }
    bytes += "</list>";
    folder.WriteFile(u"big.xml", bytes);
    Xml::NodePositions positions;
    Ref<Xml::Document> document =
        Xml::ReadFileNotingPositions(folder.Child(u"big.xml")->text(), positions);
    EXPECT_EQ(PositionsOf(document, positions), expected);
    // The reader without a table reads the same tree.
    EXPECT_EQ(Dump(document), Dump(NewReader()->readFile(folder.Child(u"big.xml")->text())));
}

}  // namespace
