#include "io/module_file.h"

#include <dlfcn.h>
#include <link.h>

#include "base/platform.h"

namespace Io {

BaseString ModuleFileByName(const BaseString& name) {
    void* module = dlopen(name.ToUtf8().c_str(), RTLD_LAZY | RTLD_NOLOAD);
    if (!module) {
        return {};
    }
    BaseString file = ModuleFileByHandle(module);
    dlclose(module);
    return file;
}

BaseString ModuleFileByHandle(void* module) {
    link_map* map = nullptr;
    if (dlinfo(module, RTLD_DI_LINKMAP, &map) != 0 || !map) {
        return {};
    }
    // The program itself has no name in the link map.
    if (!map->l_name || !*map->l_name) {
        return Base::ExecutablePath();
    }
    return BaseString::FromUtf8(map->l_name);
}

}  // namespace Io
