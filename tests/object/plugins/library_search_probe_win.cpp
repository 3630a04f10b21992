// library_search_probe [restricted|system] NAME [FUNCTION]: loads the library
// NAME by name; after restricting the library search as the launcher does
// first when "restricted" is given, as the launcher loads a system library
// when "system" is. Exits with 0 when it loaded, 1 when not, 2 when what
// loaded lacks FUNCTION: another library of that name, planted.
#include <string>

#include "base/win.h"
#include "object/library_search_win.h"

int wmain(int argc, wchar_t** argv) {
    int name = 1;
    std::wstring how = argc > 1 ? argv[1] : L"";
    if (how == L"restricted" || how == L"system") {
        Object::RestrictLibrarySearch();
        name = 2;
    }
    if (argc <= name) {
        return 1;
    }
    HMODULE module =
        how == L"system" ? Object::LoadSystemLibrary(argv[name]) : ::LoadLibraryW(argv[name]);
    if (!module) {
        return 1;
    }
    if (argc > name + 1) {
        std::wstring function(argv[name + 1]);
        if (!::GetProcAddress(module, std::string(function.begin(), function.end()).c_str())) {
            return 2;
        }
    }
    return 0;
}
