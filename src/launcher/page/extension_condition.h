#pragma once

#include <optional>

#include "base/string.h"
#include "launcher/page/extension_file.h"

// Whether a declared condition holds on this machine, asked anew each time.
// A test that cannot be evaluated (a key the user may not read, a value that
// is no version, a variable that is not set, a broken condition) is false;
// nothing is thrown.
bool ConditionHolds(const Condition& condition);

// A declared path as the system has it: environment variables expanded in
// the system's syntax, a relative path taken from the medium (the current
// directory). None when a variable is not set or the name is no path.
std::optional<BaseString> ResolveDeclaredPath(const BaseString& path);
