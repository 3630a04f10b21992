#pragma once

#include <string_view>
#include <vector>

#include "xml/dom_node.h"

namespace Xml {

// Evaluates a finder query (see Xml::Finder) from a document or element record
// and appends the matching records in document order; with `first_only` it
// stops at the first. Throws "xml-fnd-sntx-..." for a malformed step that
// evaluation reaches.
void FindRecords(DomNode& context, std::u16string_view query, bool first_only,
                 std::vector<DomNode*>& results);

}  // namespace Xml
