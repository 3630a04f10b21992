#pragma once

#include <vector>

#include "base/string.h"
#include "object/ref.h"
#include "xml/node.h"

namespace Xml {

// Small path queries over a document tree:
//   config/item            children by name, step by step
//   item[@name]            elements that have the attribute
//   item[@name='b']        ... with exactly that value ('...' or "...")
//   . and ..               the node itself, its parent
//   /config                from the top of the tree
//   //item, a//b           at any depth below
// Matches come in document order. Syntax errors are internal errors
// "xml-fnd-sntx-..."; a step is checked only when evaluation reaches it.
class Finder : public BaseFace {
public:
    static constexpr Iid kIid{u"IID_Xml::Finder"};
    using Parent = BaseFace;

    // The first match, or empty.
    virtual Ref<Node> findFirst(const Ref<ParentNode>& context, const BaseString& query) = 0;
    virtual std::vector<Ref<Node>> findAll(const Ref<ParentNode>& context,
                                           const BaseString& query) = 0;
};

inline constexpr char16_t kFinderClsid[] = u"CID_Xml::Finder";

}  // namespace Xml
