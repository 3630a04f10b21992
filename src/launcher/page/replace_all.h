#pragma once

#include <string_view>

#include "base/string.h"

// Replaces every occurrence of `key` in `text` by `value`, searching again after
// each replacement so that text a replacement produces, together with the text
// around it, can match the key again. The result is that of restarting the
// search at the start of the changed text after every replacement, reached in
// linear time: after a replacement at p the next match cannot start before
// p - len(key) + 1, so the search resumes there.
//
// Restarting never ends when the value contains the key, and can grow without
// bound in other cases too (the key "ab" with the value "baaa" triples the run
// of "a"s before every "b"). So a value containing the key is never searched
// again, and after a bounded number of matches that reach back into inserted
// text, neither is any later value.
BaseString ReplaceAll(const BaseString& text, std::u16string_view key, std::u16string_view value);
