#include "object/library_search_win.h"

namespace Object {

namespace {

FARPROC Kernel32Function(const char* name) {
    return ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), name);
}

// The system has the precise search where it has AddDllDirectory, which came
// with the flags.
bool HasPreciseSearch() {
    static const bool has = Kernel32Function("AddDllDirectory") != nullptr;
    return has;
}

}  // namespace

void RestrictLibrarySearch() {
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    auto set_default_directories = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
        reinterpret_cast<void*>(Kernel32Function("SetDefaultDllDirectories")));
    if (!HasPreciseSearch() || !set_default_directories ||
        !set_default_directories(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS)) {
        ::SetDllDirectoryW(L"");
    }
}

DWORD PluginLoadFlags() {
    return HasPreciseSearch() ? LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS
                              : LOAD_WITH_ALTERED_SEARCH_PATH;
}

}  // namespace Object
