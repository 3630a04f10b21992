#pragma once

#include "base/platform.h"
#include "base/string.h"

// Opens a file or folder the way the desktop's file manager would: a program
// is started, anything else goes to the program the desktop associates with
// it. Nothing is reported; a missing file simply opens nothing. The path is
// never read by a shell: it reaches the started program as one argument.
//
// Windows: ShellExecuteW with the "open" verb; the shell's own messages belong
// to `owner`. POSIX: an executable regular file is started directly in a
// session of its own; everything else is handed to xdg-open, which takes no
// owner window. Started processes are detached from the launcher.
void ShellOpen(const BaseString& path, WindowHandle owner = nullptr);

// What ShellOpen would do with a path, for the page tool's check.
enum class ShellOpenOutcome {
    kStarts,              // a program, started directly
    kOpens,               // handed to the program the desktop associates with it
    kMissing,             // nothing is at the path
    kCannotOpen,          // something is there that can be neither started nor opened
    kProgramNotStartable  // POSIX: a program without permission to run; opened, not run
};
ShellOpenOutcome PredictShellOpen(const BaseString& path);
