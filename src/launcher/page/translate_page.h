#pragma once

#include "base/string.h"
#include "launcher/page/page_builder.h"

// The page with every translation applied, key after key in map order, each
// with ReplaceAll: a text inserted for one key can, with the text around it,
// form a key that comes later.
//
// Done key by key over the whole page, that costs the page's length for every
// key. But a key "#id#" with no "#" inside the id can only ever stand between
// two neighbouring "#"s of the page, and replacing it puts the translated text
// between the texts on its two sides: joined with them, or cut at the text's
// own "#"s into new texts between them. So the page is cut at its "#"s once,
// each key finds its occurrences through an index of those texts, in the order
// of the page (kept by numbers that are spread out again where a new text
// finds no room), and the rules that bound ReplaceAll - a text holding its own
// key is not searched again, and neither is any after a budget of searches in
// what replacements put in - apply to the texts a replacement changed: the
// same result in time that grows with the page plus the replacements. A key
// with a "#" inside its id, and a handful of keys, take the whole page each.
BaseString TranslatePage(const BaseString& page, const TranslationMap& translations);
