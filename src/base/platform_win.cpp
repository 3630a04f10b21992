#include "base/platform.h"

#include <errno.h>

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
    wchar_t path[MAX_PATH];
    DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return BaseString(Utf16Ptr(path), length);
}

}  // namespace Base
