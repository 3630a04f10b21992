#pragma once

#include <cstdint>
#include <string_view>

#include "base/buffer.h"
#include "io/text/encoder.h"
#include "object/impl.h"

namespace Io::Text {

class EncoderImpl final : public Object::Impl<EncoderImpl, Encoder> {
public:
    EncoderImpl(Ref<Io::Sink> sink, int32_t code_page, bool byte_order_mark, bool strict);

    void write(const BaseString& text) override;
    void terminate() override;
    Ref<Io::Sink> sink() override { return sink_; }
    int32_t codePage() override { return code_page_; }
    void setCodePage(int32_t code_page) override;

private:
    void ThrowIfTerminated() const;
    ByteBuffer Encode(std::u16string_view text) const;
    ByteBuffer EncodeUtf16(std::u16string_view text, bool big_endian) const;

    bool terminated_ = false;
    Ref<Io::Sink> sink_;
    int32_t code_page_;
    const bool strict_;
    bool byte_order_mark_pending_;
    // The first half of a surrogate pair that ended the last write.
    char16_t held_high_surrogate_ = 0;
};

}  // namespace Io::Text
