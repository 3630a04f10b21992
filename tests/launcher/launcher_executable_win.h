#pragma once

#include <string>

#include "base/platform.h"
#include "base/win.h"

// The launcher this build made, <build>\src\launcher\autorun.exe, seen from a
// test program in <build>\tests\launcher.
inline std::wstring LauncherExecutable() {
    BaseString self = Base::ExecutablePath();
    std::wstring path(WidePtr(self.c_str()), self.length());
    for (int level = 0; level < 3; ++level) {
        path.erase(path.rfind(L'\\'));
    }
    return path + L"\\src\\launcher\\autorun.exe";
}
