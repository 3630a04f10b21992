#include "launcher/commands/start_program.h"

#include "base/win.h"

// After windows.h, which it builds on.
#include <shellapi.h>

uint32_t StartProgram(const BaseString& program, const std::vector<BaseString>& arguments,
                      bool elevated, WindowHandle owner) {
    BaseString parameters = JoinCommandLine(arguments);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    // The launcher shows the failure itself, once: the shell shows none.
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.hwnd = static_cast<HWND>(owner);
    info.lpVerb = elevated ? L"runas" : L"open";
    info.lpFile = WidePtr(program.c_str());
    info.lpParameters = WidePtr(parameters.c_str());
    info.nShow = SW_SHOWNORMAL;
    if (!::ShellExecuteExW(&info)) {
        DWORD error = ::GetLastError();
        return error != 0 ? error : ERROR_FILE_NOT_FOUND;
    }
    return 0;
}
