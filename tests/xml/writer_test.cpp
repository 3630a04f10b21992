#include <gtest/gtest.h>

#include "chunk_streams.h"
#include "io/text/encoder.h"
#include "object/manager.h"
#include "temp_folder.h"
#include "test_support.h"
#include "xml/node_handles.h"
#include "xml/reader.h"
#include "xml/writer.h"
#include "xml_test_support.h"

namespace {

using Xml::kCdataKind;
using Xml::kCommentKind;
using Xml::kElementKind;
using Xml::kTextKind;

const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"utf-8\"?>";

Ref<Xml::Writer> NewWriter() {
    return Object::Create<Xml::Writer>(Xml::kWriterClsid);
}

Ref<Xml::Reader> NewReader() {
    return Object::Create<Xml::Reader>(Xml::kReaderClsid);
}

Ref<Xml::Element> Add(const Ref<Xml::ParentNode>& parent, const char16_t* name) {
    return Cast<Xml::Element>(parent->createChild(kElementKind, name, nullptr), "test");
}

void AddLeaf(const Ref<Xml::ParentNode>& parent, int32_t kind, const char16_t* text) {
    parent->createChild(kind, text, nullptr);
}

std::string WriteString(const Ref<Xml::Document>& document) {
    return NewWriter()->writeString(document).ToUtf8();
}

TEST(XmlWriter, WritesByteForByte) {
    struct Case {
        const char* what;
        std::function<void(const Ref<Xml::Document>&)> build;
        std::string expected;  // after the declaration
    };
    const Case cases[] = {
        {"attribute escaped, empty element",
         [](auto& d) { Add(d, u"a")->setAttribute(u"x", u"1 & 2"); }, "\n<a x=\"1 &amp; 2\"/>"},
        {"element children indented",
         [](auto& d) {
             Ref<Xml::Element> a = Add(d, u"a");
             Add(a, u"b");
             Add(a, u"c");
         },
         "\n<a>\n  <b/>\n  <c/>\n</a>"},
        {"text suppresses the indentation after it",
         [](auto& d) {
             Ref<Xml::Element> p = Add(d, u"p");
             AddLeaf(p, kTextKind, u"x ");
             Add(p, u"b");
             AddLeaf(p, kTextKind, u" y");
         },
         "\n<p>x <b/> y</p>"},
        {"text only", [](auto& d) { AddLeaf(Add(d, u"a"), kTextKind, u"text"); }, "\n<a>text</a>"},
        {"attributes in ordinal order, quotes escaped",
         [](auto& d) {
             Ref<Xml::Element> a = Add(d, u"a");
             a->setAttribute(u"z", u"\"'<>&");
             a->setAttribute(u"B", u"\r\n\t");
             a->setAttribute(u"a", u"");
             AddLeaf(a, kTextKind, u"\"'<>&\r\n\t]]>");
         },
         "\n<a B=\"\r\n\t\" a=\"\" z=\"&quot;'&lt;>&amp;\">\"'&lt;>&amp;\r\n\t]]></a>"},
        {"comments and CDATA, deeper levels",
         [](auto& d) {
             AddLeaf(d, kCommentKind, u" head ");
             Ref<Xml::Element> root = Add(d, u"root");
             AddLeaf(root, kCdataKind, u"<&>]]]");
             Ref<Xml::Element> deep = Add(Add(root, u"one"), u"two");
             AddLeaf(deep, kCommentKind, u"c");
             AddLeaf(deep, kTextKind, u"t");
             Add(deep, u"three");
         },
         "\n<!-- head -->\n<root>\n  <![CDATA[<&>]]]]]>\n  <one>\n    <two>\n      <!--c-->t"
         "<three/>\n    </two>\n  </one>\n</root>"},
        {"an empty document is its declaration", [](auto&) {}, ""},
    };
    for (const Case& c : cases) {
        Ref<Xml::Document> document = NewDocument();
        c.build(document);
        EXPECT_EQ(WriteString(document), kDeclaration + c.expected) << c.what;
    }
}

TEST(XmlWriter, RefusesWhatCouldNotBeReadBack) {
    struct Case {
        const char* what;
        std::function<void(const Ref<Xml::Element>&)> build;
        const char* tag;
    };
    const Case cases[] = {
        {"comment with --", [](auto& r) { AddLeaf(r, kCommentKind, u"a--b"); },
         "xml-writer-comment"},
        // "<!--a--->" ends at its first "--", which a "-" follows.
        {"comment ending in -", [](auto& r) { AddLeaf(r, kCommentKind, u"a-"); },
         "xml-writer-comment"},
        {"CDATA with ]]>", [](auto& r) { AddLeaf(r, kCdataKind, u"x]]>y"); }, "xml-writer-cdata"},
        // "<![CDATA[x]]]>": the reader takes "]" in threes and runs on.
        {"CDATA ending in ]", [](auto& r) { AddLeaf(r, kCdataKind, u"x]"); }, "xml-writer-cdata"},
        {"CDATA ending in ]]]]", [](auto& r) { AddLeaf(r, kCdataKind, u"]]]]"); },
         "xml-writer-cdata"},
        {"element name", [](auto& r) { Add(r, u"1a"); }, "xml-writer-comment"},
        {"empty element name", [](auto& r) { Add(r, u""); }, "xml-writer-comment"},
        {"attribute name", [](auto& r) { r->setAttribute(u"a b", u"1"); }, "xml-writer-comment"},
        {"fine", [](auto& r) { AddLeaf(r, kCdataKind, u"]]]x]]]"); }, "no error"},
    };
    for (const Case& c : cases) {
        Ref<Xml::Document> document = NewDocument();
        c.build(Add(document, u"root"));
        EXPECT_EQ(XmlErrorTag([&] { NewWriter()->writeString(document); }), c.tag) << c.what;
    }
}

TEST(XmlWriter, NamesTheEncoderCodePage) {
    Ref<Xml::Document> document = NewDocument();
    AddLeaf(Add(document, u"a"), kTextKind, u"\u00E9");
    struct Case {
        int32_t code_page;
        std::string expected;
    };
    const Case cases[] = {
        {1252, "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n<a>\xE9</a>"},
        {28592, "<?xml version=\"1.0\" encoding=\"ISO-8859-2\"?>\n<a>\xE9</a>"},
        {65001, "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<a>\xC3\xA9</a>"},
    };
    for (const Case& c : cases) {
        Ref<CollectingSink> bytes = Object::New<CollectingSink>();
        NewWriter()->writeSink(document, Io::Text::CreateEncoder(bytes, c.code_page, false, true));
        EXPECT_EQ(bytes->bytes, c.expected) << c.code_page;
        EXPECT_EQ(bytes->terminations, 0) << c.code_page;
    }
    Ref<CollectingSink> bytes = Object::New<CollectingSink>();
    EXPECT_EQ(XmlErrorTag([&] {
                  NewWriter()->writeSink(document,
                                         Io::Text::CreateEncoder(bytes, 437, false, true));
              }),
              "xml-writer-notsupp-enc");
    EXPECT_EQ(bytes->bytes, "");
}

TEST(XmlWriter, WritesFilesWhole) {
    TempFolder folder;
    Ref<Xml::Document> document = NewDocument();
    Ref<Xml::Element> root = Add(document, u"r\u00E9");
    AddLeaf(root, kTextKind, u"\U0001F600");
    BaseString path = folder.Child(u"out.xml")->text();
    folder.WriteFile(u"out.xml", std::string(1000, 'x'));
    NewWriter()->writeFile(document, path);
    const std::string written = kDeclaration + "\n<r\xC3\xA9>\xF0\x9F\x98\x80</r\xC3\xA9>";
    EXPECT_EQ(folder.ReadFile(u"out.xml"), written);
    EXPECT_EQ(Dump(NewReader()->readFile(path)), "r\u00E9(\"\U0001F600\")");

    // A document that cannot be written leaves the file as it was.
    AddLeaf(root, kCommentKind, u"--");
    EXPECT_EQ(XmlErrorTag([&] { NewWriter()->writeFile(document, path); }), "xml-writer-comment");
    root->setValue(u"r");
    root->removeChild(root->children()[1]);
    AddLeaf(root, kTextKind, u"\xD800");
    EXPECT_EQ(XmlErrorTag([&] { NewWriter()->writeFile(document, path); }),
              "An internal error occurred (text: text-enc-inv-char).");
    EXPECT_EQ(folder.ReadFile(u"out.xml"), written);
}

TEST(XmlWriter, RoundTripKeepsTheTree) {
    const char16_t* texts[] = {
        u"<?xml version='1.0'?><!--head--><content a='&lt;&amp;&quot;&apos;' b='\t\r\n'>\n"
        u"  <translations><L0409><string id='x' value='Install &amp; run'/></L0409>"
        u"</translations>\n"
        u"  <p>x <b>bold</b> y<![CDATA[ a ]]]]]>z<!--c--></p><e> </e><f>\r\n</f>\n"
        u"</content><!--tail-->",
    };
    for (const char16_t* text : texts) {
        Ref<Xml::Document> read = NewReader()->readString(text);
        BaseString written = NewWriter()->writeString(read);
        Ref<Xml::Document> again = NewReader()->readString(written);
        read->rootElement()->normalize(Xml::NormalizeFlags::kMergeTexts);
        EXPECT_EQ(Dump(again), Dump(read)) << Utf8(written);
        EXPECT_EQ(NewWriter()->writeString(again), written);
    }
}

TEST(XmlWriter, VeryDeepTreesAreWrittenWithoutRecursion) {
    // Text on both sides of each element keeps the output from indenting.
    Ref<Xml::Document> document = NewDocument();
    Xml::DomNode* node = Xml::RecordOf(document)->CreateChild(kElementKind, u"d");
    const int depth = 300000;
    for (int level = 0; level < depth; ++level) {
        node->CreateChild(kTextKind, u"t");
        node = node->CreateChild(kElementKind, u"d");
        node->parent()->CreateChild(kTextKind, u"t");
    }
    std::u16string expected = BaseString::FromUtf8(kDeclaration + "\n").data();
    for (int level = 0; level < depth; ++level) {
        expected += u"<d>t";
    }
    expected += u"<d/>";
    for (int level = 0; level < depth; ++level) {
        expected += u"t</d>";
    }
    EXPECT_TRUE(NewWriter()->writeString(document).view() == expected);
}

}  // namespace
