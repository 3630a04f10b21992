#pragma once

#include "base/string.h"
#include "io/text/stream.h"
#include "object/ref.h"
#include "xml/node.h"

namespace Xml {

// Writes a document as indented XML for the reader to read back: a declaration,
// then elements on lines of their own, two spaces deeper per level, except
// where text stands beside them, since text is written exactly as it is. Only
// "&", "<" and, in attribute values, the double quotation mark are escaped.
// Errors: "xml-writer-comment" for a name that is no XML name or a comment the
// reader could not read back, "xml-writer-cdata" for such a CDATA section,
// "xml-writer-notsupp-enc" for an encoder whose code page has no encoding name.
class Writer : public BaseFace {
public:
    static constexpr Iid kIid{u"IID_Xml::Writer"};
    using Parent = BaseFace;

    // The text, with "utf-8" named in the declaration.
    virtual BaseString writeString(const Ref<Document>& document) = 0;
    // Creates or truncates the file and writes UTF-8 without a byte-order mark;
    // a character UTF-8 cannot hold is an error. A file that failed half-way
    // stays as far as it was written.
    virtual void writeFile(const Ref<Document>& document, const BaseString& path) = 0;
    // Writes into the sink without terminating it; an Io::Text::Encoder's code
    // page is the one named in the declaration.
    virtual void writeSink(const Ref<Document>& document, const Ref<Io::Text::Sink>& sink) = 0;
};

inline constexpr char16_t kWriterClsid[] = u"CID_Xml::Writer";

}  // namespace Xml
