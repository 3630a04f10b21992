#pragma once

#include <concepts>
#include <cstdint>
#include <vector>

#include "base/flag_set.h"
#include "base/string.h"
#include "object/ref.h"

namespace Xml {

// Node kinds.
inline constexpr int32_t kDocumentKind = 0;
inline constexpr int32_t kElementKind = 1;
inline constexpr int32_t kTextKind = 2;
inline constexpr int32_t kCdataKind = 3;
inline constexpr int32_t kCommentKind = 4;

// What Element::normalize does.
enum class NormalizeFlags : int32_t { kNone = 0, kMergeTexts = 1, kCdataAsText = 2 };
ORV_FLAG_SET_OPERATORS(NormalizeFlags)

class ParentNode;
class Element;

// A node of a document tree. Handles are made on demand: two handles of one node
// are different objects, so references to nodes compare by node (SameNode).
class Node : public BaseFace {
public:
    static constexpr Iid kIid{u"IID_Xml::Node"};
    using Parent = BaseFace;
    static constexpr bool kEqualByValue = true;

    virtual int32_t kind() = 0;
    // "" for the document, the name of an element, the text of a leaf.
    virtual BaseString value() = 0;
    // Renames an element or replaces a leaf's text; the document ignores it.
    virtual void setValue(const BaseString& text) = 0;
    // Empty for the document and for detached nodes. Parent links hold no
    // reference: keep the document referenced while navigating upwards.
    virtual Ref<ParentNode> parent() = 0;
};

// A document or an element: a node with an ordered list of children.
class ParentNode : public Node {
public:
    static constexpr Iid kIid{u"IID_Xml::ParentNode"};
    using Parent = Node;

    virtual std::vector<Ref<Node>> children() = 0;
    // Detaches the child; a node that is not a child is ignored.
    virtual void removeChild(const Ref<Node>& child) = 0;
    // A new child of that kind and value, inserted before `before` (at the end
    // when `before` is empty or not a child). "xml-domnode-err" when the kind is
    // not allowed here: the document takes one element and comments, an element
    // takes kinds 1 to 4.
    virtual Ref<Node> createChild(int32_t kind, const BaseString& value,
                                  const Ref<Node>& before) = 0;
};

class Document : public ParentNode {
public:
    static constexpr Iid kIid{u"IID_Xml::Document"};
    using Parent = ParentNode;

    // Empty while the document has no root element.
    virtual Ref<Element> rootElement() = 0;
};

class Element : public ParentNode {
public:
    static constexpr Iid kIid{u"IID_Xml::Element"};
    using Parent = ParentNode;

    // In ordinal order of the names.
    virtual std::vector<BaseString> attributeNames() = 0;
    virtual bool hasAttribute(const BaseString& name) = 0;
    virtual BaseString attribute(const BaseString& name, const BaseString& fallback) = 0;
    virtual BaseString attribute(const BaseString& name) = 0;
    virtual void setAttribute(const BaseString& name, const BaseString& value) = 0;
    // The number of attributes removed, 0 or 1.
    virtual int32_t removeAttribute(const BaseString& name) = 0;
    // The first child element of that name; when there is none and `create` is
    // set, a new one appended at the end.
    virtual Ref<Element> childElement(const BaseString& name, bool create) = 0;
    // Path queries with this element as the context (see Xml::Finder).
    virtual Ref<Node> findFirst(const BaseString& query) = 0;
    virtual std::vector<Ref<Node>> findAll(const BaseString& query) = 0;
    // kMergeTexts joins adjacent text children, kCdataAsText turns CDATA sections
    // into text first; the whole subtree is normalised.
    virtual void normalize(NormalizeFlags flags) = 0;
};

// Creates a new, empty document.
inline constexpr char16_t kDocumentClsid[] = u"CID_Xml::Document";

// True when both handles are of the same node (or both are empty).
bool SameNode(const Ref<Node>& a, const Ref<Node>& b);

template <class T, class U>
requires(std::derived_from<T, Node>&& std::derived_from<U, Node>) bool operator==(const Ref<T>& a,
                                                                                  const Ref<U>& b) {
    return SameNode(a, b);
}

}  // namespace Xml
