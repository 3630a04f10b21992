#pragma once

#include <cstdint>
#include <optional>
#include <unordered_map>

#include "base/string.h"
#include "object/ref.h"
#include "xml/node.h"

namespace Xml {

class DomNode;

// A place in the text a document was read from: line and column from 1, the
// column in UTF-16 units, counted as the reader counts them for its errors.
struct TextPosition {
    int32_t line;
    int32_t column;
};

// Where the nodes of one read document start in its text: an element, a
// comment or a CDATA section at its "<", a text at its first character. For
// tools that point their user at a node of a file; the launcher reads without.
// The table belongs to the document it was read with and is valid while that
// document lives.
class NodePositions {
public:
    // Empty for a node that was not read with this table.
    std::optional<TextPosition> Find(const Ref<Node>& node) const;

    // For the reader.
    void Add(const DomNode* node, TextPosition position) { positions_[node] = position; }

private:
    std::unordered_map<const DomNode*, TextPosition> positions_;
};

// What "CID_Xml::Reader" gives for readFile and readString, with the position
// of every node noted in `positions`.
Ref<Document> ReadFileNotingPositions(const BaseString& path, NodePositions& positions);
Ref<Document> ReadStringNotingPositions(const BaseString& text, NodePositions& positions);

}  // namespace Xml
