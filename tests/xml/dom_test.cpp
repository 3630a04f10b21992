#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "object/manager.h"
#include "test_support.h"
#include "xml/node_handles.h"
#include "xml/reader.h"
#include "xml_test_support.h"

namespace {

using Xml::kCdataKind;
using Xml::kCommentKind;
using Xml::kElementKind;
using Xml::kTextKind;

Ref<Xml::Element> AddElement(const Ref<Xml::ParentNode>& parent, const char16_t* name) {
    return Cast<Xml::Element>(parent->createChild(kElementKind, BaseString(name), nullptr), "test");
}

TEST(XmlDom, NewDocumentIsEmpty) {
    Ref<Xml::Document> document = NewDocument();
    EXPECT_EQ(document->kind(), Xml::kDocumentKind);
    EXPECT_TRUE(document->children().empty());
    EXPECT_FALSE(document->rootElement());
    EXPECT_FALSE(document->parent());
    document->setValue(u"ignored");
    EXPECT_EQ(document->value(), u"");
}

TEST(XmlDom, DocumentTakesCommentsAndOneRootElement) {
    Ref<Xml::Document> document = NewDocument();
    EXPECT_EQ(XmlErrorTag([&] { document->createChild(kTextKind, u"t", nullptr); }),
              "xml-domnode-err");
    EXPECT_EQ(XmlErrorTag([&] { document->createChild(kCdataKind, u"t", nullptr); }),
              "xml-domnode-err");
    document->createChild(kCommentKind, u"c", nullptr);
    Ref<Xml::Element> root = AddElement(document, u"a");
    EXPECT_EQ(XmlErrorTag([&] { document->createChild(kElementKind, u"b", nullptr); }),
              "xml-domnode-err");
    EXPECT_EQ(Dump(document), "<!--c--> a");
    EXPECT_TRUE(Xml::SameNode(document->rootElement(), root));
    EXPECT_TRUE(Xml::SameNode(root->parent(), document));
    EXPECT_FALSE(Xml::SameNode(root, document));
    // Two handles of one node are two objects of one node, and equal.
    EXPECT_NE(document->rootElement().Identity(), root.Identity());
    EXPECT_TRUE(document->rootElement() == root);
    EXPECT_TRUE(root->parent() == document);
    EXPECT_FALSE(root == document);
}

TEST(XmlDom, ElementTakesKindsOneToFourOnly) {
    Ref<Xml::Element> root = AddElement(NewDocument(), u"a");
    for (int32_t kind : {0, 5, -1, 100}) {
        EXPECT_EQ(XmlErrorTag([&] { root->createChild(kind, u"x", nullptr); }), "xml-domnode-err")
            << kind;
    }
    for (int32_t kind : {1, 2, 3, 4}) {
        EXPECT_EQ(root->createChild(kind, u"x", nullptr)->kind(), kind);
    }
    EXPECT_EQ(Dump(root), "a(x \"x\" <![CDATA[x]]> <!--x-->)");
}

TEST(XmlDom, RemovingTheRootAllowsANewOne) {
    Ref<Xml::Document> document = NewDocument();
    Ref<Xml::Element> root = AddElement(document, u"a");
    Ref<Xml::Element> child = AddElement(root, u"b");
    document->removeChild(root);
    EXPECT_FALSE(document->rootElement());
    EXPECT_FALSE(root->parent());
    // The detached tree keeps its shape, and no longer belongs to the document.
    EXPECT_TRUE(Xml::SameNode(child->parent(), root));
    EXPECT_EQ(Xml::RecordOf(child)->document(), nullptr);
    AddElement(document, u"c");
    EXPECT_EQ(Dump(document), "c");
    // Nodes that are not children are ignored.
    document->removeChild(child);
    document->removeChild(nullptr);
    EXPECT_EQ(Dump(document), "c");
}

TEST(XmlDom, CreateChildInsertsBeforeAChildOnly) {
    Ref<Xml::Document> document = NewDocument();
    Ref<Xml::Element> root = AddElement(document, u"r");
    Ref<Xml::Element> other = AddElement(AddElement(root, u"o"), u"deep");
    Ref<Xml::Node> last = root->createChild(kTextKind, u"last", nullptr);
    root->createChild(kCommentKind, u"before-last", last);
    root->createChild(kCommentKind, u"elsewhere", other);
    EXPECT_EQ(Dump(root), "r(o(deep) <!--before-last--> \"last\" <!--elsewhere-->)");
    EXPECT_EQ(Xml::RecordOf(last)->document(), Xml::RecordOf(document));
    EXPECT_EQ(Xml::RecordOf(other)->document(), Xml::RecordOf(document));
}

TEST(XmlDom, Attributes) {
    Ref<Xml::Element> element = AddElement(NewDocument(), u"e");
    element->setAttribute(u"b", u"1");
    element->setAttribute(u"a", u"2");
    element->setAttribute(u"B", u"3");
    element->setAttribute(u"b", u"4");
    std::vector<BaseString> names = element->attributeNames();
    EXPECT_EQ(names, (std::vector<BaseString>{u"B", u"a", u"b"}));
    EXPECT_EQ(element->attribute(u"b"), u"4");
    EXPECT_TRUE(element->hasAttribute(u"B"));
    EXPECT_FALSE(element->hasAttribute(u"c"));
    EXPECT_EQ(element->attribute(u"c"), u"");
    EXPECT_EQ(element->attribute(u"c", u"fallback"), u"fallback");
    EXPECT_EQ(element->attribute(u"a", u"fallback"), u"2");
    EXPECT_EQ(element->removeAttribute(u"c"), 0);
    EXPECT_EQ(element->removeAttribute(u"a"), 1);
    EXPECT_EQ(element->removeAttribute(u"a"), 0);
    EXPECT_EQ(Dump(element), "e[B=3,b=4]");
}

TEST(XmlDom, ChildElementFindsOrCreates) {
    Ref<Xml::Element> root = AddElement(NewDocument(), u"r");
    root->createChild(kTextKind, u"x", nullptr);
    EXPECT_FALSE(root->childElement(u"x", false));
    EXPECT_EQ(Dump(root), "r(\"x\")");
    Ref<Xml::Element> made = root->childElement(u"x", true);
    EXPECT_TRUE(Xml::SameNode(root->childElement(u"x", true), made));
    EXPECT_FALSE(root->childElement(u"X", false));
    EXPECT_EQ(Dump(root), "r(\"x\" x)");
}

TEST(XmlDom, SetValueRenamesAndReplaces) {
    Ref<Xml::Element> root = AddElement(NewDocument(), u"r");
    Ref<Xml::Node> text = root->createChild(kTextKind, u"x", nullptr);
    root->setValue(u"s");
    text->setValue(u"y");
    EXPECT_EQ(Dump(root), "s(\"y\")");
}

TEST(XmlDom, Normalize) {
    struct Case {
        Xml::NormalizeFlags flags;
        const char* expected;
    };
    const Case cases[] = {
        {Xml::NormalizeFlags::kNone,
         "r(\"a\" \"b\" <![CDATA[c]]> \"d\" <!--e--> \"f\" \"g\" s(\"h\" \"i\"))"},
        {Xml::NormalizeFlags::kMergeTexts,
         "r(\"ab\" <![CDATA[c]]> \"d\" <!--e--> \"fg\" s(\"hi\"))"},
        {Xml::NormalizeFlags::kCdataAsText,
         "r(\"a\" \"b\" \"c\" \"d\" <!--e--> \"f\" \"g\" s(\"h\" \"i\"))"},
        {Xml::NormalizeFlags::kMergeTexts | Xml::NormalizeFlags::kCdataAsText,
         "r(\"abcd\" <!--e--> \"fg\" s(\"hi\"))"},
    };
    for (const Case& c : cases) {
        Ref<Xml::Element> root = AddElement(NewDocument(), u"r");
        for (const char16_t* text : {u"a", u"b"}) {
            root->createChild(kTextKind, text, nullptr);
        }
        Ref<Xml::Node> merged_away = root->children()[1];
        root->createChild(kCdataKind, u"c", nullptr);
        root->createChild(kTextKind, u"d", nullptr);
        root->createChild(kCommentKind, u"e", nullptr);
        root->createChild(kTextKind, u"f", nullptr);
        root->createChild(kTextKind, u"g", nullptr);
        Ref<Xml::Element> sub = AddElement(root, u"s");
        sub->createChild(kTextKind, u"h", nullptr);
        sub->createChild(kTextKind, u"i", nullptr);
        root->normalize(c.flags);
        const int flags = static_cast<int>(c.flags);
        EXPECT_EQ(Dump(root), c.expected) << flags;
        EXPECT_EQ(!merged_away->parent(), Base::HasFlags(c.flags, Xml::NormalizeFlags::kMergeTexts))
            << flags;
    }
}

TEST(XmlDom, RecordOperationsCheckTheKind) {
    Ref<Xml::Document> document = NewDocument();
    Ref<Xml::Element> root = AddElement(document, u"r");
    Ref<Xml::Node> leaf = root->createChild(kTextKind, u"t", nullptr);
    Xml::DomNode& document_record = *Xml::RecordOf(document);
    Xml::DomNode& element_record = *Xml::RecordOf(root);
    Xml::DomNode& leaf_record = *Xml::RecordOf(leaf);
    const std::function<void()> refused[] = {
        [&] { document_record.SetValue(u"x"); },
        [&] { document_record.FindAttribute(u"x"); },
        [&] { document_record.SetAttribute(u"x", u"y"); },
        [&] { document_record.ChildElement(u"x"); },
        [&] { element_record.RootElement(); },
        [&] { leaf_record.CreateChild(kTextKind, u"x"); },
        [&] { leaf_record.RemoveChild(&element_record); },
        [&] { leaf_record.RemoveAttribute(u"x"); },
        [&] { leaf_record.Normalize(Xml::NormalizeFlags::kMergeTexts); },
    };
    for (const auto& call : refused) {
        EXPECT_EQ(XmlErrorTag(call), "xml-domnode-err");
    }
}

TEST(XmlDom, HandlesOutliveTheirDocument) {
    Ref<Xml::Element> child;
    Ref<Xml::Node> text;
    {
        Ref<Xml::Document> document = NewDocument();
        Ref<Xml::Element> root = AddElement(document, u"r");
        child = AddElement(root, u"c");
        text = child->createChild(kTextKind, u"t", nullptr);
    }
    EXPECT_FALSE(child->parent());
    EXPECT_EQ(Xml::RecordOf(child)->document(), nullptr);
    EXPECT_EQ(Xml::RecordOf(text)->document(), nullptr);
    EXPECT_EQ(Dump(child), "c(\"t\")");
}

// Handles of one read tree let go on several threads at once, the document's
// among them: each part of the tree goes exactly once, whichever thread lets
// go last.
TEST(XmlDom, HandlesOfOneTreeReleasedAcrossThreads) {
    Ref<Xml::Reader> reader = Object::Create<Xml::Reader>(Xml::kReaderClsid);
    std::u16string text = u"<r>";
    for (int i = 0; i < 64; ++i) {
        text += u"<a k='v'><b>t</b></a>";
    }
    text += u"</r>";
    for (int round = 0; round < 200; ++round) {
        Ref<Xml::Document> document = reader->readString(BaseString(text));
        std::vector<Ref<Xml::Node>> held = document->rootElement()->findAll(u"//b/..");
        if (round % 2) {
            Cast<Xml::Element>(held[0], "test")->setAttribute(u"k", u"changed");
        }
        std::atomic<bool> go{false};
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t) {
            std::vector<Ref<Xml::Node>> mine;
            for (size_t i = t; i < held.size(); i += 4) {
                mine.push_back(std::move(held[i]));
            }
            Ref<Xml::Document> own_document = t == 0 ? std::move(document) : nullptr;
            threads.emplace_back(
                [&go, mine = std::move(mine), own_document = std::move(own_document)]() mutable {
                    while (!go) {
                    }
                    for (Ref<Xml::Node>& node : mine) {
                        ASSERT_EQ(Dump(node).substr(0, 4), "a[k=");
                        node.Reset();
                    }
                    own_document.Reset();
                });
        }
        go = true;
        for (std::thread& thread : threads) {
            thread.join();
        }
    }
}

TEST(XmlDom, VeryDeepTreesAreWalkedWithoutRecursion) {
    Ref<Xml::Document> document = NewDocument();
    Xml::DomNode* node = Xml::RecordOf(document)->CreateChild(kElementKind, u"d");
    for (int depth = 0; depth < 300000; ++depth) {
        node = node->CreateChild(kElementKind, u"d");
        node->CreateChild(kTextKind, u"t");
        node->CreateChild(kTextKind, u"t");
    }
    node->CreateChild(kElementKind, u"leaf");
    Ref<Xml::Element> root = document->rootElement();
    root->normalize(Xml::NormalizeFlags::kMergeTexts);
    EXPECT_EQ(root->findAll(u"//leaf").size(), 1u);
    EXPECT_EQ(Dump(root->findFirst(u"//leaf/..")), "d(\"tt\" leaf)");
}

}  // namespace
