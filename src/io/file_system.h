#pragma once

#include <cstdint>
#include <vector>

#include "base/string.h"
#include "io/path_grammar.h"

// The file-system calls under paths and folders. Paths are normalised texts of
// the native style. A failing call returns false (or nothing) and leaves its
// Win32 error code as the thread's last error; the callers build the Errors.
// On Windows every call runs with the critical-error dialogs switched off.
namespace Io::FileSystem {

// The style of this platform's paths.
PathStyle NativeStyle();

// The full path of ".", "" when it cannot be had.
BaseString CurrentDirectory();

enum class EntryKind {
    kNone,
    kFile,
    kFolder,
    // A link to a folder: a folder to look at, but never one to descend into
    // when removing.
    kFolderLink,
};

inline bool IsFolder(EntryKind kind) {
    return kind == EntryKind::kFolder || kind == EntryKind::kFolderLink;
}

// What is at the path; the last error tells why when nothing is.
EntryKind GetEntryKind(const BaseString& path);

// The values of Io::kTimeLastWrite, kTimeCreation and kTimeLastAccess.
enum class TimeKind : uint32_t { kLastWrite = 0, kCreation = 1, kLastAccess = 2 };

// A time stamp as a 64-bit file time (100 ns since 1601); 0 when the entry
// cannot be looked at.
uint64_t GetTime(const BaseString& path, TimeKind which);

// Sets a time stamp of an existing file; does nothing for anything else.
void SetTime(const BaseString& path, TimeKind which, uint64_t file_time);

// The bytes the calling user may still write on the volume that holds the
// path (a folder, a file or a drive's root); false when it cannot be had.
bool GetAvailableSpace(const BaseString& path, uint64_t* bytes);

// The program of that name (no folder in it) in the first folder of the
// search path (PATH) that has one; "" when none has. On Windows a name without
// an extension is tried with each of PATHEXT's (".COM;.EXE;.BAT;.CMD" when it
// is not set), and one with an extension must have one of them; each folder
// is looked at once, and only local ones (local_folder_win.h). On POSIX the program
// is a regular file the user may execute.
BaseString FindProgram(const BaseString& name);

bool CreateFolder(const BaseString& path);
// Removes an empty folder, or a link to a folder.
bool RemoveFolder(const BaseString& path);
bool RemoveFile(const BaseString& path);

// The names in the folder matching the wildcard pattern, without "." and "..",
// in enumeration order; empty when the folder cannot be enumerated.
std::vector<BaseString> ListFolder(const BaseString& path, const BaseString& pattern);

}  // namespace Io::FileSystem
