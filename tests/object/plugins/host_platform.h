#pragma once

#include <string>

#include "base/string.h"

// What the library tests ask of the platform directly, beside the runtime.

// True when the file at the path is mapped in this process as a module.
bool IsModuleLoaded(const BaseString& path);

// Sets a variable of the process environment, as the C runtime's getenv sees it.
void SetEnvironment(const char* name, const std::string& value);
