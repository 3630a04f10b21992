#pragma once

#include "base/win.h"

namespace Object {

// Where the system's loader looks for libraries. The flags of the precise
// search (LOAD_LIBRARY_SEARCH_*, SetDefaultDllDirectories) come with Windows 8
// and with an update of Windows 7; they are looked up when the program runs.

// From now on, a library loaded by name comes from the program's folder and
// the system's, never from the current folder or PATH, where a copy of a
// medium in a downloads folder could have one planted. Without the precise
// search, the current folder alone leaves the search (SetDllDirectoryW "").
void RestrictLibrarySearch();

// The LoadLibraryExW flags for a plug-in library: the libraries it needs come
// from its own folder, the program's and the system's; without the precise
// search, the altered search path, which starts in its own folder too.
DWORD PluginLoadFlags();

}  // namespace Object
