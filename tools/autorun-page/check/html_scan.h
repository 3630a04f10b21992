#pragma once

#include <cstddef>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "base/string.h"

// An attribute value found in HTML text: where it starts and its text as
// written.
struct HtmlAttributeValue {
    size_t at;
    std::u16string_view raw;
};

// An attribute's text with "&amp;", "&lt;", "&gt;", "&quot;", "&apos;" and
// numeric character references replaced; anything else stays as written.
BaseString ReplaceCharacterReferences(std::u16string_view raw);

// The values of one attribute of the given tags, in the order of the text
// (names compared without regard to ASCII case). Comments are skipped. Enough
// HTML for finding links and scripts in a page template, not a parser of it.
std::vector<HtmlAttributeValue> FindTagAttributes(std::u16string_view html,
                                                  std::initializer_list<std::u16string_view> tags,
                                                  std::u16string_view attribute);
