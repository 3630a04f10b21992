#include "io/path_grammar.h"

#include <algorithm>

namespace Io {

namespace {

constexpr size_t kNoRoot = std::u16string_view::npos;

bool IsSeparator(char16_t c) {
    return c == u'\\' || c == u'/';
}

bool IsForbiddenOnWindows(char16_t c) {
    switch (c) {
        case u'<':
        case u'>':
        case u':':
        case u'"':
        case u'|':
        case u'*':
        case u'?':
            return true;
        default:
            return false;
    }
}

bool IsAsciiLetter(char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

struct Component {
    std::u16string_view text;  // empty at the end of the text
    bool valid;
};

// Skips a run of separators from `pos`, then takes the characters up to the next
// separator or the end; `pos` ends after them.
Component ReadComponent(std::u16string_view text, size_t& pos, PathStyle style) {
    while (pos < text.size() && IsSeparator(text[pos])) {
        ++pos;
    }
    size_t start = pos;
    bool valid = true;
    for (; pos < text.size() && !IsSeparator(text[pos]); ++pos) {
        if (style == PathStyle::kWindows && IsForbiddenOnWindows(text[pos])) {
            valid = false;
        }
    }
    size_t length = pos - start;
    return {text.substr(start, length), valid && length <= kMaxPathComponent};
}

// Recognises the root at the start of the text and appends its normalised text
// to `out` when given. Returns the characters it took, or kNoRoot.
size_t ReadRoot(std::u16string_view text, PathStyle style, BaseString* out) {
    if (style == PathStyle::kPosix) {
        if (text.empty() || !IsSeparator(text[0])) {
            return kNoRoot;
        }
        if (out) {
            *out += u'/';
        }
        return 1;
    }
    if (text.size() >= 2 && IsSeparator(text[0]) && IsSeparator(text[1]) &&
        (text.size() == 2 || !IsSeparator(text[2]))) {
        size_t pos = 2;
        Component server = ReadComponent(text, pos, style);
        Component share = ReadComponent(text, pos, style);
        if (server.text.empty() || share.text.empty() || !server.valid || !share.valid) {
            return kNoRoot;
        }
        if (out) {
            *out += u"\\\\";
            *out += server.text;
            *out += u'\\';
            *out += share.text;
        }
        return pos;
    }
    if (text.size() >= 2 && IsAsciiLetter(text[0]) && text[1] == u':') {
        if (out) {
            char16_t drive = text[0];
            *out += drive >= u'a' ? static_cast<char16_t>(drive - u'a' + u'A') : drive;
            *out += u':';
        }
        return 2;
    }
    return kNoRoot;
}

// Appends the components of the text to `out`, which holds a root of
// `root_length` characters and maybe components. False for an invalid
// component or a ".." above the root.
bool AppendComponents(std::u16string_view text, size_t root_length, PathStyle style,
                      BaseString& out) {
    const char16_t separator = Separator(style);
    size_t pos = 0;
    for (;;) {
        Component component = ReadComponent(text, pos, style);
        if (component.text.empty()) {
            return true;
        }
        if (!component.valid) {
            return false;
        }
        if (component.text == u".") {
            continue;
        }
        if (component.text == u"..") {
            if (out.length() == root_length) {
                return false;
            }
            out.Truncate(std::max(out.FindLast(separator), root_length));
            continue;
        }
        if (out[out.length() - 1] != separator) {
            out += separator;
        }
        out += component.text;
    }
}

}  // namespace

bool HasRoot(std::u16string_view text, PathStyle style) {
    return ReadRoot(text, style, nullptr) != kNoRoot;
}

BaseString NormalizePath(std::u16string_view name, std::u16string_view current_directory,
                         PathStyle style) {
    BaseString result;
    result.Reserve(current_directory.size() + name.size() + 2);
    size_t taken = ReadRoot(name, style, &result);
    if (taken == kNoRoot) {
        size_t directory_root = ReadRoot(current_directory, style, &result);
        if (directory_root == kNoRoot || !AppendComponents(current_directory.substr(directory_root),
                                                           result.length(), style, result)) {
            return {};
        }
        taken = 0;
    }
    if (!AppendComponents(name.substr(taken), RootLength(result, style), style, result)) {
        return {};
    }
    return result;
}

size_t RootLength(std::u16string_view normalized, PathStyle style) {
    if (style == PathStyle::kPosix || normalized.size() < 2) {
        return std::min<size_t>(normalized.size(), 1);
    }
    if (normalized[0] != u'\\') {
        return 2;
    }
    size_t share = normalized.find(u'\\', 2);
    if (share == std::u16string_view::npos) {
        return normalized.size();
    }
    return std::min(normalized.find(u'\\', share + 1), normalized.size());
}

std::u16string_view LastComponent(std::u16string_view normalized, PathStyle style) {
    if (normalized.size() <= RootLength(normalized, style)) {
        return {};
    }
    return normalized.substr(normalized.rfind(Separator(style)) + 1);
}

std::u16string_view ParentText(std::u16string_view normalized, PathStyle style) {
    size_t root_length = RootLength(normalized, style);
    if (normalized.size() <= root_length) {
        return {};
    }
    return normalized.substr(0, std::max(normalized.rfind(Separator(style)), root_length));
}

BaseString ResolveText(std::u16string_view normalized, std::u16string_view name, PathStyle style) {
    if (HasRoot(name, style)) {
        return BaseString(name);
    }
    BaseString text;
    text.Reserve(normalized.size() + name.size() + 1);
    text += normalized;
    text += Separator(style);
    text += name;
    return text;
}

BaseString ChildText(std::u16string_view normalized, std::u16string_view name, PathStyle style) {
    BaseString child;
    child.Reserve(normalized.size() + name.size() + 1);
    child += normalized;
    if (!normalized.empty() && normalized.back() != Separator(style)) {
        child += Separator(style);
    }
    child += name;
    return child;
}

}  // namespace Io
