#pragma once

#include "base/string.h"
#include "io/text/stream.h"
#include "xml/dom_node.h"
#include "xml/node_positions.h"

namespace Xml {

// Parses XML text into `document`, a new, empty document record. The text is
// `text` when `source` is null, otherwise whatever `source` reads until it
// delivers an empty chunk. Syntax errors are internal errors "xml-parser-..."
// with the line and column where they were found; the caller drops the
// document then. Given `positions`, the start of every node goes there.
void ParseDocument(DomNode& document, Io::Text::Source* source, BaseString text,
                   NodePositions* positions = nullptr);

}  // namespace Xml
