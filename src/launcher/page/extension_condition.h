#pragma once

#include <optional>

#include "base/string.h"
#include "launcher/page/extension_file.h"

// Whether a declared condition holds on this machine, asked anew each time.
// A test that cannot be evaluated (a key the user may not read, a value that
// is no version, a variable that is not set, a broken condition) is false;
// nothing is thrown.
bool ConditionHolds(const Condition& condition);

// A declared path as the system has it: environment variables expanded in
// the system's syntax, a relative path taken from the medium (the current
// directory). None when a variable is not set or the name is no path.
//
// A path sees the file system as the launcher does: the 32-bit launcher on
// 64-bit Windows sees "Program Files (x86)" as %ProgramFiles% and SysWOW64 as
// System32. The 64-bit programs' folders have names that hold for every
// launcher on Windows: %ProgramW6432% and %CommonProgramW6432% (on 32-bit
// Windows, which does not set them, the one Program Files folder and its
// Common Files), and Sysnative in the Windows folder (System32 for a launcher
// that WOW64 does not redirect).
std::optional<BaseString> ResolveDeclaredPath(const BaseString& path);

// Why a declared path may not name the folder its author meant: it names one
// that the 32-bit launcher on 64-bit Windows sees redirected (%ProgramFiles%,
// %CommonProgramFiles%, System32), in English with the name to write instead;
// none for any other path.
std::optional<BaseString> RedirectedFolderNote(std::u16string_view path);
