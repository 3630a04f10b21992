#include <stdlib.h>

#include "base/win.h"
#include "host_platform.h"

bool IsModuleLoaded(const BaseString& path) {
    return ::GetModuleHandleW(WidePtr(path.c_str())) != nullptr;
}

void SetEnvironment(const char* name, const std::string& value) {
    _putenv_s(name, value.c_str());
}
