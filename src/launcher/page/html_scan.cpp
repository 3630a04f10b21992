#include "launcher/page/html_scan.h"

#include "base/hex.h"
#include "base/utf.h"

namespace {

char16_t Lower(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool IsSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

bool IsAsciiLetter(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// Where the comment that starts at `at` ends: after its "-->", or the end of
// the text.
size_t CommentEnd(std::u16string_view html, size_t at) {
    size_t end = html.find(u"-->", at + 4);
    return end == std::u16string_view::npos ? html.size() : end + 3;
}

// Reads the name and attributes of the tag whose "<" is at `tag.at`.
void ReadTag(std::u16string_view html, HtmlTag& tag) {
    size_t i = tag.at + 1;
    size_t name_start = i;
    // A closing tag's "/" belongs to its name.
    if (i < html.size() && html[i] == u'/') {
        ++i;
    }
    while (i < html.size() && !IsSpace(html[i]) && html[i] != u'>' && html[i] != u'/') {
        ++i;
    }
    tag.name = html.substr(name_start, i - name_start);
    for (;;) {
        while (i < html.size() && (IsSpace(html[i]) || html[i] == u'/')) {
            ++i;
        }
        if (i >= html.size() || html[i] == u'>') {
            break;
        }
        size_t attribute_start = i;
        while (i < html.size() && !IsSpace(html[i]) && html[i] != u'=' && html[i] != u'>' &&
               html[i] != u'/') {
            ++i;
        }
        std::u16string_view name = html.substr(attribute_start, i - attribute_start);
        while (i < html.size() && IsSpace(html[i])) {
            ++i;
        }
        if (i >= html.size() || html[i] != u'=') {
            continue;  // an attribute without a value
        }
        ++i;
        while (i < html.size() && IsSpace(html[i])) {
            ++i;
        }
        size_t value_start = i;
        size_t value_end;
        if (i < html.size() && (html[i] == u'"' || html[i] == u'\'')) {
            value_start = i + 1;
            value_end = html.find(html[i], value_start);
            if (value_end == std::u16string_view::npos) {
                value_end = html.size();
            }
            i = value_end + 1;
        } else {
            while (i < html.size() && !IsSpace(html[i]) && html[i] != u'>') {
                ++i;
            }
            value_end = i;
        }
        tag.attributes.emplace_back(
            name,
            HtmlAttributeValue{value_start, html.substr(value_start, value_end - value_start)});
    }
    tag.end = i < html.size() ? i + 1 : html.size();
}

}  // namespace

bool SameIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) {
            return false;
        }
    }
    return true;
}

bool HtmlTag::Is(std::u16string_view tag_name) const {
    return SameIgnoringAsciiCase(name, tag_name);
}

std::optional<BaseString> HtmlTag::Attribute(std::u16string_view attribute) const {
    for (const auto& [attribute_name, value] : attributes) {
        if (SameIgnoringAsciiCase(attribute_name, attribute)) {
            return ReplaceCharacterReferences(value.raw);
        }
    }
    return std::nullopt;
}

std::vector<HtmlTag> ScanHtmlTags(std::u16string_view html) {
    std::vector<HtmlTag> tags;
    size_t i = 0;
    while ((i = html.find(u'<', i)) != std::u16string_view::npos) {
        if (html.substr(i, 4) == u"<!--") {
            i = CommentEnd(html, i);
            continue;
        }
        char16_t next = i + 1 < html.size() ? html[i + 1] : u'\0';
        bool starts_tag = IsAsciiLetter(next) || next == u'!' || next == u'?' ||
                          (next == u'/' && i + 2 < html.size() && IsAsciiLetter(html[i + 2]));
        if (!starts_tag) {
            ++i;
            continue;
        }
        HtmlTag tag{i, i, {}, {}};
        ReadTag(html, tag);
        i = tag.end;
        tags.push_back(std::move(tag));
    }
    return tags;
}

bool IsBlankHtml(std::u16string_view html) {
    size_t i = 0;
    while (i < html.size()) {
        if (IsSpace(html[i])) {
            ++i;
        } else if (html.substr(i, 4) == u"<!--") {
            i = CommentEnd(html, i);
        } else {
            return false;
        }
    }
    return true;
}

BaseString ReplaceCharacterReferences(std::u16string_view raw) {
    static constexpr std::pair<std::u16string_view, char16_t> kNamed[] = {
        {u"amp;", u'&'}, {u"lt;", u'<'}, {u"gt;", u'>'}, {u"quot;", u'"'}, {u"apos;", u'\''}};
    BaseString value;
    for (size_t i = 0; i < raw.size();) {
        if (raw[i] != u'&') {
            value.Append(raw[i++]);
            continue;
        }
        std::u16string_view rest = raw.substr(i + 1);
        bool replaced = false;
        for (const auto& [name, character] : kNamed) {
            if (rest.starts_with(name)) {
                value.Append(character);
                i += 1 + name.size();
                replaced = true;
                break;
            }
        }
        if (!replaced && rest.starts_with(u"#")) {
            bool hex = rest.size() > 1 && (rest[1] == u'x' || rest[1] == u'X');
            size_t j = hex ? 2 : 1;
            uint32_t code = 0;
            size_t digits = 0;
            for (; j < rest.size() && digits < 7; ++j, ++digits) {
                int digit = hex ? Base::HexDigitValue(rest[j])
                                : (rest[j] >= u'0' && rest[j] <= u'9' ? rest[j] - u'0' : -1);
                if (digit < 0) {
                    break;
                }
                code = code * (hex ? 16 : 10) + static_cast<uint32_t>(digit);
            }
            if (digits > 0 && j < rest.size() && rest[j] == u';' && code > 0 && code <= 0x10FFFF &&
                !Base::IsSurrogate(code)) {
                Base::AppendCodePoint(code, value);
                i += 1 + j + 1;
                replaced = true;
            }
        }
        if (!replaced) {
            value.Append(raw[i++]);
        }
    }
    return value;
}

std::vector<HtmlAttributeValue> FindTagAttributes(std::u16string_view html,
                                                  std::initializer_list<std::u16string_view> tags,
                                                  std::u16string_view attribute) {
    std::vector<HtmlAttributeValue> found;
    for (const HtmlTag& tag : ScanHtmlTags(html)) {
        bool wanted = false;
        for (std::u16string_view candidate : tags) {
            wanted = wanted || tag.Is(candidate);
        }
        if (!wanted) {
            continue;
        }
        for (const auto& [name, value] : tag.attributes) {
            if (SameIgnoringAsciiCase(name, attribute)) {
                found.push_back(value);
            }
        }
    }
    return found;
}
