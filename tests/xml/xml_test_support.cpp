#include "xml_test_support.h"

#include "object/manager.h"
#include "test_support.h"

std::string Dump(const Ref<Xml::Node>& node) {
    std::string value = node->value().ToUtf8();
    switch (node->kind()) {
        case Xml::kTextKind:
            return "\"" + value + "\"";
        case Xml::kCdataKind:
            return "<![CDATA[" + value + "]]>";
        case Xml::kCommentKind:
            return "<!--" + value + "-->";
        default:
            break;
    }
    std::string out = value;
    if (Ref<Xml::Element> element = SoftCast<Xml::Element>(node)) {
        std::string attributes;
        for (const BaseString& name : element->attributeNames()) {
            attributes += (attributes.empty() ? "" : ",") + name.ToUtf8() + "=" +
                          element->attribute(name).ToUtf8();
        }
        if (!attributes.empty()) {
            out += "[" + attributes + "]";
        }
    }
    std::string children;
    for (const Ref<Xml::Node>& child : Cast<Xml::ParentNode>(node, "test")->children()) {
        children += (children.empty() ? "" : " ") + Dump(child);
    }
    if (node->kind() == Xml::kDocumentKind) {
        return children;
    }
    return children.empty() ? out : out + "(" + children + ")";
}

std::string XmlErrorTag(const std::function<void()>& call) {
    ScopedLanguage english(0x0409);
    try {
        call();
    } catch (const Error& error) {
        const std::string prefix = "An internal error occurred (xml: ";
        std::string text = error.GetText().ToUtf8();
        if (text.starts_with(prefix) && text.ends_with(").")) {
            return text.substr(prefix.size(), text.size() - prefix.size() - 2);
        }
        return text;
    }
    return "no error";
}

Ref<Xml::Document> NewDocument() {
    return Object::Create<Xml::Document>(Xml::kDocumentClsid);
}
