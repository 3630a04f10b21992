#pragma once

#include <cstdint>
#include <string_view>

#include "base/buffer.h"
#include "io/text/decoder.h"
#include "object/impl.h"

namespace Io::Text {

class DecoderImpl final : public Object::Impl<DecoderImpl, Decoder> {
public:
    DecoderImpl(Ref<Io::Source> source, bool strict);

    bool atEnd() override;
    BaseString read() override;
    Ref<Io::Source> source() override;
    int32_t codePage() override { return code_page_; }
    void setCodePage(int32_t code_page) override { code_page_ = code_page; }
    void returnText(const BaseString& text) override;

private:
    const uint8_t* Rest() const { return pending_.data() + position_; }
    size_t Available() const { return pending_.size() - position_; }
    // Appends the source's next chunk to the undecoded bytes; false when the
    // chunk was empty.
    bool AppendChunk();
    // Appends chunks until `count` bytes are undecoded or the source ends.
    void Gather(size_t count);
    // Skips `mark` when the undecoded bytes begin with it.
    bool SkipMark(std::string_view mark);
    // Reads the first chunk and finds the code page; false when it was empty.
    bool Detect();
    // The first read after setCodePage skips the code page's own byte-order
    // mark; false when the source delivered nothing.
    bool StartExplicitly(std::string_view mark);

    BaseString ReadUtf8();
    BaseString ReadUtf16(bool big_endian);
    BaseString ReadCodePage();
    // The number of leading bytes of the code page path's `bytes` that make
    // whole characters: a character cut by their end is left out.
    size_t WholeCharacters(std::string_view bytes) const;
    // The number of leading bytes of the code page path's `bytes` that
    // convert, counted in whole characters.
    size_t ConvertiblePrefix(std::string_view bytes);

    BaseString Deliver(BaseString text);
    BaseString InvalidCharacter();
    BaseString EndOfText();
    // The number of bytes from the start of the last delivered text that
    // decode to its first `units` units.
    size_t BytesOfText(size_t units);

    Ref<Io::Source> source_;
    int32_t code_page_ = -1;
    const bool strict_;
    // The undecoded bytes run from position_ to the end of pending_; the
    // bytes of the last delivered text begin at start_.
    ByteBuffer pending_;
    size_t start_ = 0;
    size_t position_ = 0;
    BaseString last_text_;
    int32_t last_code_page_ = -1;
    bool return_allowed_ = false;
    bool first_read_pending_ = true;
};

}  // namespace Io::Text
