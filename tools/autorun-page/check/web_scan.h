#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Enough CSS and script for telling what Windows' web-browser control does not
// take, not parsers of them.

// One declaration of a style sheet.
struct CssDeclaration {
    size_t at;                // where its property starts
    std::u16string rule;      // its rule's selector, blanks collapsed; "" in a style attribute
    std::u16string property;  // in lower case
    std::u16string value;     // in lower case, without "!important"
};

// The declarations of a style sheet in order, in rules and in at-rules such as
// "@media"; comments and quoted text are skipped. `attribute`: the text is a
// style attribute's, declarations without a rule.
std::vector<CssDeclaration> ScanCss(std::u16string_view css, bool attribute = false);

// Syntax newer than Internet Explorer 11's script engine takes.
struct NewerScriptSyntax {
    enum class Kind { kArrowFunction, kTemplateLiteral };
    Kind kind;
    size_t at;
};

// The first arrow function ("=>") and the first template literal ("`") of a
// script, in order; comments, strings and regular expressions after "(", ","
// or "=" are skipped.
std::vector<NewerScriptSyntax> FindNewerScriptSyntax(std::u16string_view script);
