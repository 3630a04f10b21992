#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "base/platform.h"
#include "base/string.h"

// Starts a program with arguments, detached from the launcher. Each argument
// reaches the program as it is, never read by a shell. `elevated` asks
// Windows to run it with an administrator's rights (the "runas" verb), in the
// program's own folder; POSIX has no such request and starts it as it is.
//
// On Windows the program is the file named, with its extension, and a batch
// file is refused (IsBatchFile): the command shell that would run it reads its
// command line by rules of its own, which no quoting of the arguments
// survives. The shell's own prompts (the elevation, the warning for a file
// from the internet) and its messages belong to `owner`.
//
// Answers 0 when the program started, kStartCancelled when the user declined
// a prompt of the shell, kStartBatchFile for a batch file on Windows, or else
// the Win32 error code of the failure.
uint32_t StartProgram(const BaseString& program, const std::vector<BaseString>& arguments,
                      bool elevated, WindowHandle owner);

inline constexpr uint32_t kStartCancelled = 1223;  // ERROR_CANCELLED
inline constexpr uint32_t kStartBatchFile = 50;    // ERROR_NOT_SUPPORTED

// Whether Windows runs the file through the command shell: its name ends in
// ".bat" or ".cmd", in any case, also when dots and blanks follow, which
// Windows drops from a file name.
bool IsBatchFile(std::u16string_view program);

// The arguments as one Windows command line that CommandLineToArgvW (and the
// C runtime) splits back into exactly them: each one in double quotes when it
// is empty or holds a blank or a quote, with a quote and the backslashes
// before it, or before the closing quote, doubled by the rules of that split.
BaseString JoinCommandLine(const std::vector<BaseString>& arguments);
