#include "io/module_file.h"

#include <string>

#include "base/long_path_win.h"
#include "base/win.h"

namespace Io {

BaseString ModuleFileByName(const BaseString& name) {
    HMODULE module = ::GetModuleHandleW(WidePtr(name.c_str()));
    return module ? ModuleFileByHandle(module) : BaseString();
}

BaseString ModuleFileByHandle(void* module) {
    // Grows past MAX_PATH rather than hand back a cut name.
    std::u16string buffer(MAX_PATH, u'\0');
    for (;;) {
        DWORD size = static_cast<DWORD>(buffer.size());
        DWORD length =
            ::GetModuleFileNameW(static_cast<HMODULE>(module), WidePtr(buffer.data()), size);
        if (length == 0) {
            return {};
        }
        if (length < size) {
            return PlainPathText(BaseString(buffer.data(), length));
        }
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace Io
