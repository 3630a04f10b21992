#pragma once

// What the XML fuzz targets compare: a tree, or the error that came instead.
#include <string>

#include "error/error.h"
#include "xml/node.h"

// The tree as text that two parses can be compared by.
inline void DescribeTree(const Ref<Xml::Node>& node, std::u16string& out) {
    out += static_cast<char16_t>(u'0' + node->kind());
    out += node->value().view();
    if (Ref<Xml::Element> element = SoftCast<Xml::Element>(node)) {
        for (const BaseString& name : element->attributeNames()) {
            out += u'@';
            out += name.view();
            out += u'=';
            out += element->attribute(name).view();
        }
    }
    if (Ref<Xml::ParentNode> parent = SoftCast<Xml::ParentNode>(node)) {
        out += u'(';
        for (const Ref<Xml::Node>& child : parent->children()) {
            DescribeTree(child, out);
        }
        out += u')';
    }
}

// The tree that `read` returns, or the text of the error it throws.
template <class Read>
std::u16string Outcome(Read read) {
    std::u16string out;
    try {
        DescribeTree(read(), out);
    } catch (const Error& error) {
        out = u"error " + std::u16string(error.GetText().view());
    }
    return out;
}
