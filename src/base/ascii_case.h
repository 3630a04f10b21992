#pragma once

#include <cstddef>
#include <string_view>

namespace Base {

// Case folding of the ASCII letters alone: the names these compare (file
// extensions, registry roots, environment variables, units) are ASCII, and
// the system compares them so whatever the user's language.
constexpr char16_t AsciiLower(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

constexpr bool EqualsIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

constexpr bool EndsWithIgnoringAsciiCase(std::u16string_view text, std::u16string_view suffix) {
    return text.size() >= suffix.size() &&
           EqualsIgnoringAsciiCase(text.substr(text.size() - suffix.size()), suffix);
}

// Where `needle` first is in `text`, from `from` on; npos when it is not.
constexpr size_t FindIgnoringAsciiCase(std::u16string_view text, std::u16string_view needle,
                                       size_t from = 0) {
    for (size_t at = from; at + needle.size() <= text.size(); ++at) {
        if (EqualsIgnoringAsciiCase(text.substr(at, needle.size()), needle)) {
            return at;
        }
    }
    return std::u16string_view::npos;
}

}  // namespace Base
