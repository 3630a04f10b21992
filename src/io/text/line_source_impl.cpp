#include "io/text/line_source_impl.h"

#include <utility>

#include "error/error.h"

namespace Io::Text {

namespace {

bool IsLineEnd(char16_t c) {
    return c == u'\n' || c == u'\r';
}

}  // namespace

LineSourceImpl::LineSourceImpl(Ref<Source> source, int32_t tab_width)
    : source_(std::move(source)), position_(tab_width) {}

bool LineSourceImpl::atEnd() {
    if (forgotten_) {
        return source_->atEnd();
    }
    return !line_end_pending_ && BufferUsedUp() && source_->atEnd();
}

void LineSourceImpl::DropHandedOverRest() {
    if (forgotten_) {
        forgotten_ = false;
        buffer_.Clear();
        cursor_ = 0;
    }
}

bool LineSourceImpl::FillBuffer() {
    while (BufferUsedUp()) {
        BaseString chunk = source_->read();
        if (chunk.empty()) {
            return false;
        }
        buffer_ = std::move(chunk);
        cursor_ = 0;
    }
    return true;
}

void LineSourceImpl::ConsumeLineEnd() {
    int32_t kind = kLineFeed;
    if (buffer_[cursor_++] == u'\r') {
        kind = kCarriageReturn;
        if ((!BufferUsedUp() || FillBuffer()) && buffer_[cursor_] == u'\n') {
            kind = kCarriageReturnLineFeed;
            ++cursor_;
        }
    }
    previous_line_end_ = line_end_;
    line_end_ = kind;
    previous_column_ = position_.Column();
    position_.NewLine();
}

void LineSourceImpl::RedeliverLineEnd() {
    line_end_pending_ = false;
    previous_line_end_ = line_end_;
    line_end_ = saved_line_end_;
    previous_column_ = position_.Column();
    position_.NewLine();
    can_unread_ = true;
    delivered_line_end_ = true;
}

char16_t LineSourceImpl::readChar() {
    DropHandedOverRest();
    if (line_end_pending_) {
        RedeliverLineEnd();
        return u'\n';
    }
    can_unread_ = false;
    if (!FillBuffer()) {
        return 0;
    }
    can_unread_ = true;
    char16_t c = buffer_[cursor_];
    delivered_line_end_ = IsLineEnd(c);
    if (delivered_line_end_) {
        ConsumeLineEnd();
        return u'\n';
    }
    previous_column_ = position_.Column();
    position_.Advance(c);
    ++cursor_;
    return c;
}

BaseString LineSourceImpl::read() {
    DropHandedOverRest();
    if (line_end_pending_) {
        RedeliverLineEnd();
        return BaseString(u"\n");
    }
    can_unread_ = false;
    BaseString line;
    while (FillBuffer()) {
        std::u16string_view rest = buffer_.view().substr(cursor_);
        size_t end = rest.find_first_of(u"\r\n");
        std::u16string_view text = rest.substr(0, end);
        line.Append(text);
        position_.Advance(text);
        cursor_ += text.size();
        if (end != std::u16string_view::npos) {
            ConsumeLineEnd();
            line.Append(u'\n');
            break;
        }
    }
    return line;
}

void LineSourceImpl::unreadChar() {
    if (!can_unread_) {
        throw Error::Internal("text-line-noreadchar", "text");
    }
    can_unread_ = false;
    if (delivered_line_end_) {
        line_end_pending_ = true;
        saved_line_end_ = line_end_;
        line_end_ = previous_line_end_;
        position_.Restore(position_.Line() - 1, previous_column_);
    } else {
        --cursor_;
        position_.Restore(position_.Line(), previous_column_);
    }
}

BaseString LineSourceImpl::forget() {
    if (forgotten_) {
        throw Error::Internal("text-line-nothingtoforget", "text");
    }
    forgotten_ = true;
    can_unread_ = false;
    return buffer_.Substr(cursor_);
}

}  // namespace Io::Text
