#pragma once

#include "io/text/line_stream.h"
#include "io/text/text_position.h"
#include "object/impl.h"

namespace Io::Text {

class LineSourceImpl final : public Object::Impl<LineSourceImpl, LineSource, Position> {
public:
    LineSourceImpl(Ref<Source> source, int32_t tab_width);

    bool atEnd() override;
    BaseString read() override;
    Ref<Source> source() override { return source_; }
    char16_t readChar() override;
    void unreadChar() override;
    BaseString forget() override;
    int32_t lineEnd() override { return line_end_; }

    std::pair<int32_t, int32_t> position() override { return position_.Get(); }
    void setPosition(int32_t line, int32_t column) override { position_.Set(line, column); }
    int32_t tabWidth() override { return position_.TabWidth(); }
    void setTabWidth(int32_t width) override { position_.SetTabWidth(width); }

private:
    bool BufferUsedUp() const { return cursor_ == buffer_.length(); }
    void DropHandedOverRest();
    // Reads the next chunk when the buffer is used up; false at the end of
    // the text.
    bool FillBuffer();
    // Consumes the line end at the cursor (CR LF may span two chunks).
    void ConsumeLineEnd();
    // Delivers a given-back line end again.
    void RedeliverLineEnd();

    Ref<Source> source_;
    TextPosition position_;
    int32_t previous_column_ = 1;
    int32_t line_end_ = kNone;
    int32_t previous_line_end_ = kNone;
    int32_t saved_line_end_ = kNone;
    BaseString buffer_;
    size_t cursor_ = 0;
    bool forgotten_ = false;
    bool can_unread_ = false;
    bool delivered_line_end_ = false;
    bool line_end_pending_ = false;
};

}  // namespace Io::Text
