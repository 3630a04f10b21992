#pragma once

#include <string_view>

#include "io/text/stream.h"
#include "xml/dom_node.h"

namespace Xml {

// Writes a document as indented XML into the sink, piece by piece: the
// declaration naming `encoding`, then the tree. Elements are indented by two
// spaces per level on lines of their own, unless text stands next to them, so
// that text content is written exactly as it is. Throws "xml-writer-comment"
// for a comment the reader could not read back or a name that is not an XML
// name, and "xml-writer-cdata" for such a CDATA section.
void WriteDocument(const DomNode& document, std::u16string_view encoding, Io::Text::Sink& sink);

}  // namespace Xml
