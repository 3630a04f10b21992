#include "launcher/commands/start_program.h"

#include "base/long_path_win.h"
#include "base/win.h"

// After windows.h, which it builds on.
#include <shellapi.h>

namespace {

// A file, not a folder, is at the path; critical-error boxes off.
bool IsFile(const BaseString& path) {
    DWORD previous = 0;
    ::SetThreadErrorMode(SEM_FAILCRITICALERRORS, &previous);
    DWORD attributes = ::GetFileAttributesW(WidePtr(LongPathText(path).c_str()));
    ::SetThreadErrorMode(previous, nullptr);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The path up to its last separator; "" when it has none.
BaseString FolderOf(const BaseString& path) {
    size_t separator = path.view().find_last_of(u"\\/");
    return separator == std::u16string_view::npos ? BaseString()
                                                  : BaseString(path.view().substr(0, separator));
}

}  // namespace

uint32_t StartProgram(const BaseString& program, const std::vector<BaseString>& arguments,
                      bool elevated, WindowHandle owner) {
    if (IsBatchFile(program.view())) {
        return kStartBatchFile;
    }
    // The shell would try extensions of its own on a name without a file, a
    // batch file's among them; and a missing file is the launcher's to report.
    if (!IsFile(program)) {
        return ERROR_FILE_NOT_FOUND;
    }
    BaseString parameters = JoinCommandLine(arguments);
    // Started elevated, a program would begin in the system folder.
    BaseString folder = elevated ? FolderOf(program) : BaseString();
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    // The shell shows its prompts and its messages, over the menu.
    info.fMask = SEE_MASK_NOASYNC;
    info.hwnd = static_cast<HWND>(owner);
    info.lpVerb = elevated ? L"runas" : L"open";
    info.lpFile = WidePtr(program.c_str());
    info.lpParameters = WidePtr(parameters.c_str());
    info.lpDirectory = folder.empty() ? nullptr : WidePtr(folder.c_str());
    info.nShow = SW_SHOWNORMAL;
    if (!::ShellExecuteExW(&info)) {
        // ERROR_CANCELLED when the user declined a prompt. Another failure may
        // have had a message of the shell's: the launcher's says it once more
        // rather than leave a click without an answer where the shell had none.
        DWORD error = ::GetLastError();
        return error != 0 ? error : ERROR_FILE_NOT_FOUND;
    }
    return 0;
}
