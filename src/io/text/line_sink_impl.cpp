#include "io/text/line_sink_impl.h"

#include <utility>

namespace Io::Text {

namespace {

std::u16string_view LineEndText(int32_t line_end) {
    switch (line_end) {
        case kLineFeed:
            return u"\n";
        case kCarriageReturnLineFeed:
        case kNone:
            return u"\r\n";
        case kCarriageReturn:
            return u"\r";
        default:
            return {};
    }
}

}  // namespace

LineSinkImpl::LineSinkImpl(Ref<Sink> sink, int32_t line_end, int32_t tab_width)
    : sink_(std::move(sink)), position_(tab_width), line_end_(line_end) {}

void LineSinkImpl::write(const BaseString& text) {
    std::u16string_view rest = text.view();
    std::u16string_view line_end = LineEndText(line_end_);
    BaseString converted;
    converted.Reserve(rest.size());
    for (size_t end = rest.find_first_of(u"\r\n"); end != std::u16string_view::npos;
         end = rest.find_first_of(u"\r\n")) {
        converted.Append(rest.substr(0, end));
        converted.Append(line_end);
        position_.Advance(rest.substr(0, end));
        position_.NewLine();
        bool crlf = rest[end] == u'\r' && end + 1 < rest.size() && rest[end + 1] == u'\n';
        rest.remove_prefix(end + (crlf ? 2 : 1));
    }
    converted.Append(rest);
    position_.Advance(rest);
    sink_->write(converted);
}

}  // namespace Io::Text
