#pragma once

#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "base/string.h"

// One argument of a printf-style diagnostic format. "%s" takes wide text,
// "%d"/"%u"/"%x"/"%X" integers (formatted as 32-bit values, as in the tags the
// runtime raises), "%p" a pointer, "%c" a character.
class FormatArg {
public:
    enum class Kind { kInteger, kPointer, kText };

    template <std::integral T>
    FormatArg(T value) : kind_(Kind::kInteger), integer_(static_cast<int64_t>(value)) {}
    FormatArg(const void* pointer) : kind_(Kind::kPointer), pointer_(pointer) {}
    FormatArg(const char16_t* text) : kind_(Kind::kText), text_(text ? text : u"") {}
    FormatArg(std::u16string_view text) : kind_(Kind::kText), text_(text) {}
    FormatArg(const BaseString& text) : kind_(Kind::kText), text_(text.view()) {}

    Kind kind() const { return kind_; }
    int64_t integer() const { return integer_; }
    const void* pointer() const { return pointer_; }
    std::u16string_view text() const { return text_; }

private:
    Kind kind_;
    int64_t integer_ = 0;
    const void* pointer_ = nullptr;
    std::u16string_view text_;
};

namespace Base {

// Formats a narrow (ASCII or UTF-8) printf-style format into wide text. Flags
// "-" and "0", a width and the conversions d, i, u, x, X, p, s, c and "%%" are
// understood; "%p" prints the pointer as upper-case hexadecimal digits padded
// to the pointer's width, the same on every target. Missing arguments format as
// nothing; the formatter never fails.
BaseString FormatList(std::string_view format, std::initializer_list<FormatArg> args);

template <class... Args>
BaseString Format(std::string_view format, const Args&... args) {
    return FormatList(format, {FormatArg(args)...});
}

}  // namespace Base
