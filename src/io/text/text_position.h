#pragma once

#include <cstdint>
#include <string_view>
#include <utility>

namespace Io::Text {

// The line and column count shared by line sources and sinks.
class TextPosition {
public:
    // A tab width below 1 is "text-line-badcolumn".
    explicit TextPosition(int32_t tab_width);

    std::pair<int32_t, int32_t> Get() const { return {line_, column_}; }
    void Set(int32_t line, int32_t column);
    int32_t TabWidth() const { return tab_width_; }
    void SetTabWidth(int32_t width);

    int32_t Line() const { return line_; }
    int32_t Column() const { return column_; }
    // Moves past one character that is not a line end.
    void Advance(char16_t c);
    void Advance(std::u16string_view text) {
        for (char16_t c : text) {
            Advance(c);
        }
    }
    void NewLine();
    void Restore(int32_t line, int32_t column) {
        line_ = line;
        column_ = column;
    }

private:
    int32_t line_ = 1;
    int32_t column_ = 1;
    int32_t tab_width_;
};

}  // namespace Io::Text
