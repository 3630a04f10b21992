#include "launcher/commands/shell_open.h"

#include "base/win.h"

// After windows.h, which it builds on.
#include <shellapi.h>

void ShellOpen(const BaseString& path) {
    ::ShellExecuteW(nullptr, L"open", WidePtr(path.c_str()), nullptr, nullptr, SW_SHOW);
}
