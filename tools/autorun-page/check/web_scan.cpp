#include "check/web_scan.h"

#include <algorithm>

namespace {

bool IsSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

std::u16string Lower(std::u16string_view text) {
    std::u16string lower(text);
    for (char16_t& c : lower) {
        c = c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
    }
    return lower;
}

// The text without blanks at its ends and with each run of blanks inside as
// one space.
std::u16string Collapsed(std::u16string_view text) {
    std::u16string collapsed;
    for (char16_t c : text) {
        if (!IsSpace(c)) {
            collapsed += c;
        } else if (!collapsed.empty() && collapsed.back() != u' ') {
            collapsed += u' ';
        }
    }
    if (!collapsed.empty() && collapsed.back() == u' ') {
        collapsed.pop_back();
    }
    return collapsed;
}

// Where the quoted text that starts at `at` ends: after its closing quote, or
// at the end of the line or text.
size_t QuotedEnd(std::u16string_view text, size_t at) {
    char16_t quote = text[at];
    for (size_t i = at + 1; i < text.size(); ++i) {
        if (text[i] == u'\\') {
            ++i;
        } else if (text[i] == quote || text[i] == u'\n') {
            return i + 1;
        }
    }
    return text.size();
}

// A declaration's text from `start` to `end`, if it is one ("name: value").
void AddDeclaration(std::u16string_view css, size_t start, size_t end, const std::u16string& rule,
                    std::vector<CssDeclaration>& declarations) {
    std::u16string_view text = css.substr(start, end - start);
    size_t colon = text.find(u':');
    size_t name_start = 0;
    while (name_start < text.size() && IsSpace(text[name_start])) {
        ++name_start;
    }
    if (colon == std::u16string_view::npos || name_start >= colon) {
        return;
    }
    std::u16string property = Lower(Collapsed(text.substr(name_start, colon - name_start)));
    std::u16string value = Lower(Collapsed(text.substr(colon + 1)));
    constexpr std::u16string_view kImportant = u"!important";
    if (value.ends_with(kImportant)) {
        value = Collapsed(std::u16string_view(value).substr(0, value.size() - kImportant.size()));
    }
    declarations.push_back({start + name_start, rule, property, value});
}

}  // namespace

std::vector<CssDeclaration> ScanCss(std::u16string_view text, bool attribute) {
    // Comments become blanks, so that offsets stay where they were.
    std::u16string without_comments(text);
    for (size_t open = without_comments.find(u"/*"); open != std::u16string::npos;
         open = without_comments.find(u"/*", open)) {
        size_t close = without_comments.find(u"*/", open + 2);
        close = close == std::u16string::npos ? without_comments.size() : close + 2;
        std::fill(without_comments.begin() + open, without_comments.begin() + close, u' ');
    }
    std::u16string_view css = without_comments;
    std::vector<CssDeclaration> declarations;
    // The selectors of the open blocks; a style attribute is one block
    // without a rule.
    std::vector<std::u16string> rules;
    if (attribute) {
        rules.emplace_back();
    }
    size_t start = 0;  // of the text since the last "{", "}" or ";"
    for (size_t i = 0; i < css.size();) {
        char16_t c = css[i];
        if (c == u'"' || c == u'\'') {
            i = QuotedEnd(css, i);
        } else if (c == u'{') {
            rules.push_back(Collapsed(css.substr(start, i - start)));
            start = ++i;
        } else if (c == u'}' || c == u';') {
            if (!rules.empty() && !rules.back().starts_with(u'@')) {
                AddDeclaration(css, start, i, rules.back(), declarations);
            }
            if (c == u'}' && !rules.empty()) {
                rules.pop_back();
            }
            start = ++i;
        } else {
            ++i;
        }
    }
    if (!rules.empty() && !rules.back().starts_with(u'@')) {
        AddDeclaration(css, start, css.size(), rules.back(), declarations);
    }
    return declarations;
}

std::vector<NewerScriptSyntax> FindNewerScriptSyntax(std::u16string_view script) {
    std::vector<NewerScriptSyntax> found;
    bool arrow = false;
    bool template_literal = false;
    char16_t previous = u'(';  // the last character that is not blank
    for (size_t i = 0; i < script.size() && !(arrow && template_literal);) {
        char16_t c = script[i];
        std::u16string_view two = script.substr(i, 2);
        if (two == u"//") {
            size_t end = script.find(u'\n', i);
            i = end == std::u16string_view::npos ? script.size() : end;
            continue;
        }
        if (two == u"/*") {
            size_t end = script.find(u"*/", i + 2);
            i = end == std::u16string_view::npos ? script.size() : end + 2;
            continue;
        }
        if (c == u'"' || c == u'\'') {
            i = QuotedEnd(script, i);
            previous = c;
            continue;
        }
        // A regular expression where a value begins.
        if (c == u'/' &&
            std::u16string_view(u"(,=:[!&|?{};").find(previous) != std::u16string_view::npos) {
            i = QuotedEnd(script, i);
            previous = c;
            continue;
        }
        if (c == u'`' && !template_literal) {
            template_literal = true;
            found.push_back({NewerScriptSyntax::Kind::kTemplateLiteral, i});
        } else if (two == u"=>" && !arrow) {
            arrow = true;
            found.push_back({NewerScriptSyntax::Kind::kArrowFunction, i});
        }
        if (!IsSpace(c)) {
            previous = c;
        }
        ++i;
    }
    return found;
}
