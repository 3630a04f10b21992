#pragma once

#include "object/ref.h"
#include "xml/dom_node.h"
#include "xml/node.h"

namespace Xml {

// Answered by every node handle of this module: the record behind it. Lets the
// reader, the finder and the writer work on records instead of handles.
class NodeRecord : public BaseFace {
public:
    static constexpr Iid kIid{u"IID_Xml::NodeRecord"};
    using Parent = BaseFace;

    virtual DomNode& record() = 0;
};

// A new handle of the record's kind: Xml::DocumentNode, Xml::ElementNode or
// Xml::LeafNode.
Ref<Node> MakeHandle(DomNode& record);
Ref<ParentNode> MakeParentHandle(DomNode& record);
Ref<Element> MakeElementHandle(DomNode& record);

// The record of a handle of this module; null for an empty reference or a node
// from elsewhere.
template <class T>
DomNode* RecordOf(const Ref<T>& node) {
    Ref<NodeRecord> holder = SoftCast<NodeRecord>(node);
    return holder ? &holder->record() : nullptr;
}

}  // namespace Xml
