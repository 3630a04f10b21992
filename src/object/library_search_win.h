#pragma once

#include "base/win.h"

namespace Object {

// Where the system's loader looks for libraries. The flags of the precise
// search (LOAD_LIBRARY_SEARCH_*, SetDefaultDllDirectories) come with Windows 8
// and with an update of Windows 7; they are looked up when the program runs.
//
// The program imports only the system's known libraries, which the loader
// always takes from the system folder, and the C++ runtime's beside it
// (cmake/check_imports.cmake holds the list); every other system library is
// loaded when it is needed, from the system folder, as a copy of a medium in a
// downloads folder could have one of the same name planted beside it.

// From now on, a library loaded by name comes from the system folder alone,
// never from the program's folder, the current folder or PATH. Without the
// precise search, the current folder alone leaves the search (SetDllDirectoryW
// ""): the system's libraries are then loaded by full path (LoadSystemLibrary).
void RestrictLibrarySearch();

// A library of the system folder, loaded (or its count raised); null when it
// cannot be. The libraries it needs come from the system folder too.
HMODULE LoadSystemLibrary(const wchar_t* name);

// The LoadLibraryExW flags for a plug-in library: the libraries it needs come
// from its own folder, the program's and the system's, named one by one;
// without the precise search, the altered search path, which starts in its own
// folder.
DWORD PluginLoadFlags();

}  // namespace Object
