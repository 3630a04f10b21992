#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "base/platform.h"
#include "base/string.h"

// Starts a program with arguments, detached from the launcher. Each argument
// reaches the program as it is, never read by a shell. `elevated` asks
// Windows to run it with an administrator's rights (the "runas" verb); POSIX
// has no such request and starts it as it is. The shell's prompts belong to
// `owner` (Windows).
//
// Answers 0 when the program started, kStartCancelled when the user declined
// the elevation, or else the Win32 error code of the failure.
uint32_t StartProgram(const BaseString& program, const std::vector<BaseString>& arguments,
                      bool elevated, WindowHandle owner);

inline constexpr uint32_t kStartCancelled = 1223;  // ERROR_CANCELLED

// The arguments as one Windows command line that CommandLineToArgvW (and the
// C runtime) splits back into exactly them: each one in double quotes when it
// is empty or holds a blank or a quote, with a quote and the backslashes
// before it, or before the closing quote, doubled by the rules of that split.
BaseString JoinCommandLine(const std::vector<BaseString>& arguments);
