#pragma once

#include "base/string.h"

namespace Io {

// The file of the module loaded under the name; "" when none is loaded.
BaseString ModuleFileByName(const BaseString& name);

// The file of a loaded module (an HMODULE or a dlopen handle); "" when it has none.
BaseString ModuleFileByHandle(void* module);

}  // namespace Io
