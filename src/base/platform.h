#pragma once

#include <cstdint>
#include <string_view>

#include "base/string.h"

// The few operating-system facts the core needs directly. Win32 error numbers
// are the language of failure on every target: on POSIX the platform layer maps
// errno to the nearest Win32 code and records it as the thread's last error.
// A top-level window of the platform (HWND, GtkWindow*), or null.
using WindowHandle = void*;

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

// The folder of a path of the platform up to and including its last
// separator; empty when it has none.
inline std::u16string_view FolderOf(std::u16string_view path) {
    size_t separator = path.rfind(kPathSeparator);
    return separator == path.npos ? std::u16string_view() : path.substr(0, separator + 1);
}

// The part of a path of the platform after its last separator; the whole path
// when it has none.
inline std::u16string_view LastComponentOf(std::u16string_view path) {
    return path.substr(path.rfind(kPathSeparator) + 1);
}

// Whether a path names its file by itself, not relative to a folder: on
// Windows a drive ("X:...") or a network path ("\\..."), on POSIX a leading "/".
bool IsFullPath(std::u16string_view path);

// True when the operating system is 64-bit (for a 32-bit Windows build: when it
// runs under WOW64).
bool IsSystem64Bit();

}  // namespace Base
