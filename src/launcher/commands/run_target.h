#pragma once

#include <string_view>

#include "base/string.h"

// The file a "run:" link starts. A full path is used as it is; any other name
// keeps only its last component (after its last "\" or "/", whichever comes
// later) and names a file in the launcher's own folder.
BaseString ResolveRunTarget(std::u16string_view argument);

// The same rule against a given executable path; an empty path leaves the
// argument unchanged.
BaseString ResolveRunTargetFor(std::u16string_view argument, const BaseString& executable_path);
