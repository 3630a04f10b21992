#pragma once

#include <functional>
#include <string>

#include "object/ref.h"
#include "xml/node.h"

// A compact picture of a tree: an element is its name, then its attributes in
// brackets and its children in parentheses, as in a[k=v](...); a text is "x", a
// CDATA section and a comment are written as in XML. A document shows its
// children.
std::string Dump(const Ref<Xml::Node>& node);

// The tag of the internal error the call throws under the module tag "xml", as
// in "xml-domnode-err"; "no error" when it returns, the whole text otherwise.
std::string XmlErrorTag(const std::function<void()>& call);

Ref<Xml::Document> NewDocument();
