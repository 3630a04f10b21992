#include "launcher/commands/shell_open.h"

#include "base/win.h"

// After windows.h, which it builds on.
#include <shellapi.h>

void ShellOpen(const BaseString& path, WindowHandle owner) {
    ::ShellExecuteW(static_cast<HWND>(owner), L"open", WidePtr(path.c_str()), nullptr, nullptr,
                    SW_SHOW);
}

ShellOpenOutcome PredictShellOpen(const BaseString& path) {
    // No "insert a disk" box for a drive without a medium.
    DWORD previous = 0;
    ::SetThreadErrorMode(SEM_FAILCRITICALERRORS, &previous);
    DWORD attributes = ::GetFileAttributesW(WidePtr(path.c_str()));
    ::SetThreadErrorMode(previous, nullptr);
    // The shell starts or opens whatever is there.
    return attributes == INVALID_FILE_ATTRIBUTES ? ShellOpenOutcome::kMissing
                                                 : ShellOpenOutcome::kOpens;
}
