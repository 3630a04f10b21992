#pragma once

#include <cstdint>

#include "base/string.h"

// The few operating-system facts the core needs directly. Win32 error numbers
// are the language of failure on every target: on POSIX the platform layer maps
// errno to the nearest Win32 code and records it as the thread's last error.
namespace Base {

// Milliseconds since some fixed point, wrapping at 32 bits (GetTickCount).
uint32_t TickCount();

// Gives up the rest of the time slice (Sleep(0)).
void YieldThread();

uint32_t LastError();
void SetLastError(uint32_t code);

// Keeps the thread's last error (and errno) across a call that may change them.
class LastErrorKeeper {
public:
    LastErrorKeeper();
    ~LastErrorKeeper();
    LastErrorKeeper(const LastErrorKeeper&) = delete;
    LastErrorKeeper& operator=(const LastErrorKeeper&) = delete;

private:
    uint32_t last_error_;
    int errno_;
};

// The full path of the running executable (GetModuleFileNameW, /proc/self/exe).
BaseString ExecutablePath();

// Makes `path` the process's current directory; false (with the last error set)
// when that fails.
bool ChangeDirectory(const BaseString& path);

// Standard output and error pass bytes unchanged (no line-end translation).
void SetStandardStreamsBinary();

// The separator of the platform's own paths.
#ifdef _WIN32
inline constexpr char16_t kPathSeparator = u'\\';
#else
inline constexpr char16_t kPathSeparator = u'/';
#endif

// True when the operating system is 64-bit (for a 32-bit Windows build: when it
// runs under WOW64).
bool IsSystem64Bit();

}  // namespace Base
