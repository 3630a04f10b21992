#pragma once

#include <string>

#include "base/string.h"

// Checks the medium in the current directory as `launcher`, the launcher's
// path on the medium, would read it. The findings, one line each; `has_error`
// tells whether one would keep the launcher from starting.
std::string CheckMedium(const BaseString& launcher, bool& has_error);
