#pragma once

#include "base/string.h"
#include "launcher/page/page_builder.h"

// The page with every translation applied, key after key in map order, each
// with ReplaceAll: a text inserted for one key can, with the text around it,
// form a key that comes later.
//
// Done key by key over the whole page, that costs the page's length for every
// key. When keys and texts are of the usual form - "#id#" with no "#" inside
// the id, and no "#" in any translated text - a key can only ever stand between
// two neighbouring "#"s of the page, and replacing it only joins the texts on
// its two sides. Then the page is cut at its "#"s once, and each key finds its
// occurrences through an index of those texts: the same result in time that
// grows with the page plus the number of replacements.
BaseString TranslatePage(const BaseString& page, const TranslationMap& translations);
