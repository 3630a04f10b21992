#include <dlfcn.h>
#include <stdlib.h>

#include "host_platform.h"

bool IsModuleLoaded(const BaseString& path) {
    void* handle = dlopen(path.ToUtf8().c_str(), RTLD_LAZY | RTLD_NOLOAD);
    if (!handle) {
        return false;
    }
    dlclose(handle);
    return true;
}

void SetEnvironment(const char* name, const std::string& value) {
    setenv(name, value.c_str(), 1);
}
