#include <gtest/gtest.h>

#include "object/manager.h"
#include "test_support.h"
#include "xml/finder.h"
#include "xml_test_support.h"

namespace {

using Xml::kElementKind;

// The fixture document:
//   config
//     item name=a
//       sub
//     <!item>  "item"  <![item]>      (never match: not elements)
//     item name=b
//       item name=c
//     n
//       n
//         leaf
class XmlFinder : public testing::Test {
protected:
    void SetUp() override {
        document_ = NewDocument();
        Ref<Xml::Element> config = Add(document_, u"config");
        Add(Add(config, u"item", u"a"), u"sub");
        config->createChild(Xml::kCommentKind, u"item", nullptr);
        config->createChild(Xml::kTextKind, u"item", nullptr);
        config->createChild(Xml::kCdataKind, u"item", nullptr);
        Add(Add(config, u"item", u"b"), u"item", u"c");
        Add(Add(Add(config, u"n"), u"n"), u"leaf");
    }

    static Ref<Xml::Element> Add(const Ref<Xml::ParentNode>& parent, const char16_t* name,
                                 const char16_t* name_attribute = nullptr) {
        Ref<Xml::Element> element = Cast<Xml::Element>(
            parent->createChild(kElementKind, BaseString(name), nullptr), "test");
        if (name_attribute) {
            element->setAttribute(u"name", name_attribute);
        }
        return element;
    }

    // "#doc", or the element's name with "#" and its name attribute if it has one.
    static std::string Label(const Ref<Xml::Node>& node) {
        if (node->kind() == Xml::kDocumentKind) {
            return "#doc";
        }
        std::string label = node->value().ToUtf8();
        Ref<Xml::Element> element = Cast<Xml::Element>(node, "test");
        if (element->hasAttribute(u"name")) {
            label += "#" + element->attribute(u"name").ToUtf8();
        }
        return label;
    }

    static std::string Labels(const std::vector<Ref<Xml::Node>>& nodes) {
        std::string labels;
        for (const Ref<Xml::Node>& node : nodes) {
            labels += (labels.empty() ? "" : " ") + Label(node);
        }
        return labels;
    }

    // The context named by a query from the document.
    Ref<Xml::ParentNode> At(const char16_t* path) {
        if (!*path) {
            return document_;
        }
        return Cast<Xml::ParentNode>(finder_->findFirst(document_, path), "test");
    }

    Ref<Xml::Document> document_;
    Ref<Xml::Finder> finder_ = Object::Create<Xml::Finder>(Xml::kFinderClsid);
};

TEST_F(XmlFinder, FindsInDocumentOrder) {
    struct Case {
        const char16_t* context;  // a path from the document; "" is the document
        const char16_t* query;
        const char* all;
    };
    const Case cases[] = {
        {u"", u"config/item", "item#a item#b"},
        {u"", u"config/item/", "item#a item#b"},
        {u"", u"config/item[@name='b']", "item#b"},
        {u"", u"config/item[@name=\"b\"]/item", "item#c"},
        {u"", u"config/item[@name]", "item#a item#b"},
        {u"", u"config/item[@name='']", ""},
        {u"", u"config/item[@nope]", ""},
        {u"", u"", "#doc"},
        {u"", u".", "#doc"},
        {u"", u"..", ""},
        {u"", u"/", "#doc"},
        {u"config", u"..", "#doc"},
        {u"config", u"./item[@name='a']/sub", "sub"},
        // Two ways to the same node report it once.
        {u"config", u"item/../n", "n"},
        {u"config", u".//sub", "sub"},
        {u"config/item[@name='b']/item", u"/config", "config"},
        {u"config/item[@name='b']/item", u"../../../..", ""},
        {u"", u"//item", "item#a item#b item#c"},
        {u"config", u"//item[@name='c']", "item#c"},
        {u"", u"config//item", "item#a item#b item#c"},
        {u"", u"//n//leaf", "leaf"},
        {u"", u"//n/n", "n"},
        // A step is checked only when some node gets that far.
        {u"", u"nothing/*", ""},
        {u"", u"../*", ""},
        {u"", u"Config", ""},
    };
    for (const Case& c : cases) {
        Ref<Xml::ParentNode> context = At(c.context);
        std::vector<Ref<Xml::Node>> all = finder_->findAll(context, c.query);
        EXPECT_EQ(Labels(all), c.all) << Utf8(c.query);
        Ref<Xml::Node> first = finder_->findFirst(context, c.query);
        EXPECT_EQ(first ? Label(first) : "", all.empty() ? "" : Label(all[0])) << Utf8(c.query);
    }
}

// Every "//n/.." adds ways to the same nodes; counted once per way, the leaf
// would come 41 times (and on other trees such queries grow exponentially).
TEST_F(XmlFinder, RepeatedWaysToTheSameNodesStayLinear) {
    std::u16string query;
    for (int i = 0; i < 40; ++i) {
        query += u"//n/..";
    }
    query += u"//leaf";
    EXPECT_EQ(Labels(finder_->findAll(document_, BaseString(query))), "leaf");
}

TEST_F(XmlFinder, SyntaxErrors) {
    struct Case {
        const char16_t* query;
        const char* tag;
    };
    const Case cases[] = {
        {u"a///b", "xml-fnd-sntx-trpsl"},
        {u"nothing///", "xml-fnd-sntx-trpsl"},
        {u"config/*", "xml-fnd-sntx-mis-elm"},
        {u"config/@name", "xml-fnd-sntx-mis-elm"},
        {u"config//", "xml-fnd-sntx-mis-elm"},
        {u"config/...", "xml-fnd-sntx-mis-elm"},
        {u"config/ item", "xml-fnd-sntx-mis-elm"},
        {u"config/item[name]", "xml-fnd-sntx-not-sup"},
        {u"config/item[", "xml-fnd-sntx-not-sup"},
        {u"config/item[@]", "xml-fnd-sntx-mis-prm"},
        {u"config/item[@name='x", "xml-fnd-sntx-uncl-val"},
        {u"config/item[@name='", "xml-fnd-sntx-uncl-val"},
        {u"config/item[@name=x]", "xml-fnd-sntx-mis-val"},
        {u"config/item[@name='a'x", "xml-fnd-sntx-mis-val"},
        {u"config/item[@name", "xml-fnd-sntx-mis-val"},
        {u"config/item[@name ='a']", "xml-fnd-sntx-mis-val"},
        {u"config/item[@name]x", "xml-fnd-sntx-mis-slsh"},
        {u"config/item x", "xml-fnd-sntx-mis-slsh"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(XmlErrorTag([&] { finder_->findAll(document_, c.query); }), c.tag)
            << Utf8(c.query);
        EXPECT_EQ(XmlErrorTag([&] { finder_->findFirst(document_, c.query); }), c.tag)
            << Utf8(c.query);
    }
}

TEST_F(XmlFinder, ElementsQueryThroughTheFinder) {
    Ref<Xml::Element> config = document_->rootElement();
    EXPECT_EQ(Labels(config->findAll(u"item")), "item#a item#b");
    EXPECT_EQ(Label(config->findFirst(u"item/item")), "item#c");
    EXPECT_FALSE(config->findFirst(u"sub"));
    EXPECT_EQ(XmlErrorTag([&] { config->findAll(u"item/*"); }), "xml-fnd-sntx-mis-elm");
}

TEST_F(XmlFinder, IsItsOwnFactory) {
    Ref<Xml::Finder> again = Object::Create<Xml::Finder>(Xml::kFinderClsid);
    EXPECT_EQ(again.Identity(), finder_.Identity());
}

}  // namespace
