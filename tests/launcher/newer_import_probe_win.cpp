// A library that imports a function Windows 7 lacks, which the import check
// must find.
#include "base/win.h"

// Declared by the system's headers only for Windows 8 and later.
extern "C" __declspec(dllimport) void WINAPI GetSystemTimePreciseAsFileTime(FILETIME* time);

extern "C" __declspec(dllexport) DWORD NewerImportProbe() {
    FILETIME now;
    ::GetSystemTimePreciseAsFileTime(&now);
    return now.dwLowDateTime;
}
