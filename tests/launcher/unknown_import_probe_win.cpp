// A library that imports version.dll, which is no known library of the system:
// the import check must find it.
#include "base/win.h"

#include <winver.h>

extern "C" __declspec(dllexport) DWORD UnknownImportProbe(const wchar_t* path) {
    DWORD ignored = 0;
    return ::GetFileVersionInfoSizeW(path, &ignored);
}
