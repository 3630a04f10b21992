#include "object/library_search_win.h"

#include <string>

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
        !set_default_directories(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        ::SetDllDirectoryW(L"");
    }
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
    wchar_t folder[MAX_PATH];
    UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return nullptr;
    }
    // By its full path, so that no search is asked where the library itself
    // lies; the flags say where the libraries it needs come from.
    std::wstring path = std::wstring(folder, length) + L"\\" + name;
    return ::LoadLibraryExW(
        path.c_str(), nullptr,
        HasPreciseSearch() ? LOAD_LIBRARY_SEARCH_SYSTEM32 : LOAD_WITH_ALTERED_SEARCH_PATH);
}

DWORD PluginLoadFlags() {
    return HasPreciseSearch()
               ? LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_APPLICATION_DIR |
                     LOAD_LIBRARY_SEARCH_SYSTEM32
               : LOAD_WITH_ALTERED_SEARCH_PATH;
}

}  // namespace Object
