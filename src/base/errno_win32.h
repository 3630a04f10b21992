#pragma once

#include <cstdint>

// POSIX platform files only: errno in the Win32 error language.
namespace Base {

// ENOENT 2, ENOTDIR 3, EACCES/EPERM/EISDIR 5, EEXIST 80, ENOSPC 112, ...
uint32_t Win32ErrorFromErrno(int error);

// The errno a Win32 code stands for, 0 when it has none.
int ErrnoFromWin32Error(uint32_t code);

// Records errno (mapped) as the thread's last error.
void SetLastErrorFromErrno();

}  // namespace Base
