#pragma once

#include <map>

#include "base/string.h"

// Page element id ("vis" and the item's ordinal) -> class identifier of the
// page-extension component that decides whether the element is shown.
using VisibilityMap = std::map<BaseString, BaseString>;
