#pragma once

#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "base/string.h"

// Enough HTML for finding tags and their attributes in a page or its template,
// not a parser of it: the text of scripts and style sheets is read like any
// other.

// An attribute value found in HTML text: where it starts and its text as
// written.
struct HtmlAttributeValue {
    size_t at;
    std::u16string_view raw;
};

// One tag as written: "<name ...>", "</name>", or a declaration such as
// "<!DOCTYPE html>" (named "!DOCTYPE").
struct HtmlTag {
    size_t at;   // of its "<"
    size_t end;  // after its ">", or the end of the text
    std::u16string_view name;
    // The attributes that have a value, in the order written.
    std::vector<std::pair<std::u16string_view, HtmlAttributeValue>> attributes;

    // Whether the tag has that name, without regard to ASCII case.
    bool Is(std::u16string_view tag_name) const;
    // The value of the first attribute of that name, its references replaced;
    // none when the tag has no such attribute with a value.
    std::optional<BaseString> Attribute(std::u16string_view attribute) const;
};

// The tags of the text in order. Comments are skipped; a "<" that starts no
// tag (not followed by a letter, "/", "!" or "?") is text.
std::vector<HtmlTag> ScanHtmlTags(std::u16string_view html);

// Whether the text holds only blanks and comments.
bool IsBlankHtml(std::u16string_view html);

bool SameIgnoringAsciiCase(std::u16string_view a, std::u16string_view b);

// An attribute's text with "&amp;", "&lt;", "&gt;", "&quot;", "&apos;" and
// numeric character references replaced; anything else stays as written.
BaseString ReplaceCharacterReferences(std::u16string_view raw);

// The values of one attribute of the given tags, in the order of the text
// (names compared without regard to ASCII case).
std::vector<HtmlAttributeValue> FindTagAttributes(std::u16string_view html,
                                                  std::initializer_list<std::u16string_view> tags,
                                                  std::u16string_view attribute);
