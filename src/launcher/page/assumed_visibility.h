#pragma once

#include <map>
#include <string_view>

#include "base/string.h"

// What the page tools assume of page extensions instead of asking them
// (--assume CLASS=shown|hidden): for each class, whether the elements bound
// to it are shown (true) or hidden, whatever serves it. The page tool hands
// its assumptions to the preview program in the same words.
using AssumedVisibility = std::map<BaseString, bool>;

// Adds one "CLASS=shown" or "CLASS=hidden" to `assumed`; false, and nothing
// added, for any other text.
bool ParseAssumption(std::string_view text, AssumedVisibility& assumed);
