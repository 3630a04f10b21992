#pragma once

#include <cstdint>

#include "io/stream.h"
#include "io/text/stream.h"
#include "object/manager.h"

namespace Io::Text {

// Turns wide text into bytes of a Windows code page (65001 UTF-8, 1200 and
// 1201 UTF-16 little- and big-endian, any other through the platform's
// code-page conversion) for a byte sink. A strict encoder refuses a character
// its code page cannot write (and an unpaired surrogate) with the internal
// error "text-enc-inv-char"; a lenient one writes the code page's default
// character, or U+FFFD for an unpaired surrogate in UTF-8 and UTF-16. A
// surrogate pair may come in two writes; a first half that ends the last write
// before terminate is unpaired.
class Encoder : public Sink {
public:
    static constexpr Iid kIid{u"IID_Io::Text::Encoder"};
    using Parent = Sink;

    virtual Ref<Io::Sink> sink() = 0;
    virtual int32_t codePage() = 0;
    virtual void setCodePage(int32_t code_page) = 0;

    class Creator;
};

class Encoder::Creator : public BaseFace {
public:
    // The encoder creator answers the decoder creator's identifier; callers
    // ask for exactly that one.
    static constexpr Iid kIid{u"IID_Io::Text::Decoder::Creator"};
    using Parent = BaseFace;

    // A new encoder; with `byte_order_mark` the first write begins with the
    // mark of UTF-8 or UTF-16.
    virtual Ref<Encoder> create(const Ref<Io::Sink>& sink, int32_t code_page, bool byte_order_mark,
                                bool strict) = 0;
};

inline constexpr char16_t kEncoderCreatorClsid[] = u"CID_Io::Text::Encoder_Creator";

// A new encoder made by the registered creator.
inline Ref<Encoder> CreateEncoder(const Ref<Io::Sink>& sink, int32_t code_page,
                                  bool byte_order_mark, bool strict) {
    return Object::Create<Encoder::Creator>(kEncoderCreatorClsid)
        ->create(sink, code_page, byte_order_mark, strict);
}

}  // namespace Io::Text
