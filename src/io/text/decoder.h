#pragma once

#include <cstdint>

#include "io/stream.h"
#include "io/text/stream.h"
#include "object/manager.h"

namespace Io::Text {

// Turns a byte source into wide text by Windows code page number: 65001
// UTF-8, 1200 and 1201 UTF-16 little- and big-endian, any other through the
// platform's code-page conversion. The code page is -1 until the first read
// finds it from a byte-order mark (UTF-8 when there is none) or setCodePage
// sets it. Bytes that form no character are an internal error
// "text-dec-inv-char" for a strict decoder and the text "?" for a lenient one.
class Decoder : public Source {
public:
    static constexpr Iid kIid{u"IID_Io::Text::Decoder"};
    using Parent = Source;

    // The byte source with every byte not yet decoded in front of it. The
    // decoder lets go of its source and is not read again.
    virtual Ref<Io::Source> source() = 0;
    virtual int32_t codePage() = 0;
    // Takes effect at the next read.
    virtual void setCodePage(int32_t code_page) = 0;
    // Takes back a tail of the text the last read delivered: the next read
    // decodes its bytes again, under the code page set by then. Only directly
    // after a read that delivered decoded text ("text-dec-cant-return"), and
    // only a tail of that text ("text-dec-badreturn").
    virtual void returnText(const BaseString& text) = 0;

    class Creator;
};

class Decoder::Creator : public BaseFace {
public:
    static constexpr Iid kIid{u"IID_Io::Text::Decoder::Creator"};
    using Parent = BaseFace;

    // A new decoder of the source, code page -1.
    virtual Ref<Decoder> create(const Ref<Io::Source>& source, bool strict) = 0;
};

inline constexpr char16_t kDecoderCreatorClsid[] = u"CID_Io::Text::Decoder_Creator";

// A new decoder made by the registered creator.
inline Ref<Decoder> CreateDecoder(const Ref<Io::Source>& source, bool strict) {
    return Object::Create<Decoder::Creator>(kDecoderCreatorClsid)->create(source, strict);
}

}  // namespace Io::Text
