#pragma once

#include "base/string.h"
#include "io/text/stream.h"
#include "object/ref.h"
#include "xml/node.h"

namespace Xml {

// Parses XML text into a new document: an optional declaration, elements with
// attributes, character data with the five predefined entities and numeric
// character references, CDATA sections and comments. Whitespace between markup
// is dropped unless it is the whole content of an element. A syntax error is
// the internal error "xml-parser-...(line:column)", and no document comes back.
class Reader : public BaseFace {
public:
    static constexpr Iid kIid{u"IID_Xml::Reader"};
    using Parent = BaseFace;

    // The declaration's encoding is ignored: the text is already decoded.
    virtual Ref<Document> readString(const BaseString& text) = 0;
    // Reads the file through a strict decoder: a byte-order mark is honoured,
    // UTF-8 is the default, and the declaration's encoding switches the decoder
    // for the rest of the file.
    virtual Ref<Document> readFile(const BaseString& path) = 0;
    // The text of any source, read until it delivers an empty chunk; when it
    // is an Io::Text::Decoder, the declaration's encoding switches it as in
    // readFile.
    virtual Ref<Document> readSource(const Ref<Io::Text::Source>& source) = 0;
};

inline constexpr char16_t kReaderClsid[] = u"CID_Xml::Reader";

}  // namespace Xml
