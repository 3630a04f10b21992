#include "gui/ctlcntr/autorun/shell_open.h"

#include <shellapi.h>

#include "base/win.h"

void ShellOpen(const BaseString& path) {
    ::ShellExecuteW(nullptr, L"open", WidePtr(path.c_str()), nullptr, nullptr, SW_SHOW);
}
