#include "io/text/text_position.h"

#include <algorithm>
#include <climits>

#include "error/error.h"

namespace Io::Text {

namespace {

void CheckAtLeastOne(int32_t value) {
    if (value < 1) {
        throw Error::Internal("text-line-badcolumn", "text");
    }
}

}  // namespace

TextPosition::TextPosition(int32_t tab_width) : tab_width_(tab_width) {
    CheckAtLeastOne(tab_width);
}

void TextPosition::Set(int32_t line, int32_t column) {
    CheckAtLeastOne(line);
    CheckAtLeastOne(column);
    line_ = line;
    column_ = column;
}

void TextPosition::SetTabWidth(int32_t width) {
    CheckAtLeastOne(width);
    tab_width_ = width;
}

void TextPosition::Advance(char16_t c) {
    int64_t column = column_;
    int64_t next =
        c == u'\t' ? int64_t{tab_width_} * ((column - 1) / tab_width_ + 1) + 1 : column + 1;
    column_ = static_cast<int32_t>(std::min<int64_t>(next, INT32_MAX));
}

void TextPosition::NewLine() {
    line_ = line_ < INT32_MAX ? line_ + 1 : line_;
    column_ = 1;
}

}  // namespace Io::Text
