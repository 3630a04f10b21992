// library_search_probe [restricted] NAME: loads the library NAME by name, after
// restricting the library search as the launcher does first when "restricted"
// is given; exits with 0 when it loaded, 1 when not.
#include <string>

#include "base/win.h"
#include "object/library_search_win.h"

int wmain(int argc, wchar_t** argv) {
    int name = 1;
    if (argc > 2 && std::wstring(argv[1]) == L"restricted") {
        Object::RestrictLibrarySearch();
        name = 2;
    }
    return argc > name && ::LoadLibraryW(argv[name]) ? 0 : 1;
}
