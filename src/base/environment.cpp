#include "base/environment.h"

#include "base/platform.h"

namespace Base {

namespace {

bool IsNameStart(char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_';
}

bool IsNameChar(char16_t c) {
    return IsNameStart(c) || (c >= u'0' && c <= u'9');
}

// The variable at `at` and the length of its reference; none when the text
// there names no variable.
struct Reference {
    std::u16string_view name;
    size_t length;
};

std::optional<Reference> PercentReference(std::u16string_view text, size_t at) {
    size_t close = text.find(u'%', at + 1);
    if (close == text.npos || close == at + 1) {
        return std::nullopt;
    }
    return Reference{text.substr(at + 1, close - at - 1), close - at + 1};
}

std::optional<Reference> DollarReference(std::u16string_view text, size_t at) {
    size_t start = at + 1;
    bool braced = start < text.size() && text[start] == u'{';
    if (braced) {
        ++start;
    }
    if (start >= text.size() || !IsNameStart(text[start])) {
        return std::nullopt;
    }
    size_t end = start + 1;
    while (end < text.size() && IsNameChar(text[end])) {
        ++end;
    }
    if (braced) {
        if (end >= text.size() || text[end] != u'}') {
            return std::nullopt;
        }
        return Reference{text.substr(start, end - start), end + 1 - at};
    }
    return Reference{text.substr(start, end - start), end - at};
}

}  // namespace

VariableSyntax NativeVariableSyntax() {
    return kPathSeparator == u'\\' ? VariableSyntax::kPercent : VariableSyntax::kDollar;
}

std::optional<BaseString> ExpandVariables(
    std::u16string_view text, VariableSyntax syntax,
    const std::function<std::optional<BaseString>(std::u16string_view)>& lookup) {
    const char16_t sign = syntax == VariableSyntax::kPercent ? u'%' : u'$';
    BaseString expanded;
    size_t done = 0;
    for (size_t at = text.find(sign); at != text.npos; at = text.find(sign, at)) {
        std::optional<Reference> reference = syntax == VariableSyntax::kPercent
                                                 ? PercentReference(text, at)
                                                 : DollarReference(text, at);
        if (!reference) {
            ++at;
            continue;
        }
        std::optional<BaseString> value = lookup(reference->name);
        if (!value) {
            return std::nullopt;
        }
        expanded += text.substr(done, at - done);
        expanded += value->view();
        at += reference->length;
        done = at;
    }
    expanded += text.substr(done);
    return expanded;
}

std::optional<BaseString> ExpandEnvironmentVariables(std::u16string_view text) {
    return ExpandVariables(text, NativeVariableSyntax(), EnvironmentVariable);
}

}  // namespace Base
