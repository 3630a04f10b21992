#include "base/platform.h"

#include <errno.h>
#include <fcntl.h>
#include <io.h>
#include <stdio.h>

#include <string>

#include "base/long_path_win.h"
#include "base/win.h"

namespace Base {

uint32_t TickCount() {
    return ::GetTickCount();
}

void YieldThread() {
    ::Sleep(0);
}

uint32_t LastError() {
    return ::GetLastError();
}

void SetLastError(uint32_t code) {
    ::SetLastError(code);
}

LastErrorKeeper::LastErrorKeeper() : last_error_(::GetLastError()), errno_(errno) {}

LastErrorKeeper::~LastErrorKeeper() {
    errno = errno_;
    ::SetLastError(last_error_);
}

BaseString ExecutablePath() {
    // Grows past MAX_PATH rather than hand back a cut name.
    std::u16string path(MAX_PATH, u'\0');
    for (;;) {
        DWORD size = static_cast<DWORD>(path.size());
        DWORD length = ::GetModuleFileNameW(nullptr, WidePtr(path.data()), size);
        if (length < size) {
            return PlainPathText(BaseString(path.data(), length));
        }
        path.resize(path.size() * 2);
    }
}

bool ChangeDirectory(const BaseString& path) {
    return ::SetCurrentDirectoryW(WidePtr(path.c_str())) != FALSE;
}

bool IsFullPath(std::u16string_view path) {
    bool drive = path.size() >= 2 && path[1] == u':';
    return drive || path.starts_with(u"\\\\");
}

void SetStandardStreamsBinary() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

bool IsSystem64Bit() {
    if (sizeof(void*) == 8) {
        return true;
    }
    using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, PBOOL);
    auto is_wow64_process = reinterpret_cast<IsWow64ProcessFunction>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32"), "IsWow64Process")));
    BOOL wow64 = FALSE;
    return is_wow64_process && is_wow64_process(::GetCurrentProcess(), &wow64) && wow64;
}

}  // namespace Base
