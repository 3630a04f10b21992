#include "launcher/single_instance.h"

#include "base/string.h"
#include "base/win.h"

SingleInstanceLock::SingleInstanceLock(std::u16string_view name) {
    BaseString mutex_name(name);
    HANDLE mutex = ::CreateMutexW(nullptr, FALSE, WidePtr(mutex_name.c_str()));
    DWORD error = ::GetLastError();
    // A launcher that runs with more rights (as administrator, or started by
    // an elevated installer) holds a mutex whose default security this one
    // may not open: that is another instance too.
    another_instance_ = error == ERROR_ALREADY_EXISTS || (!mutex && error == ERROR_ACCESS_DENIED);
    if (mutex) {
        handle_ = reinterpret_cast<intptr_t>(mutex);
    }
}

SingleInstanceLock::~SingleInstanceLock() {
    if (handle_ != -1) {
        ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
    }
}
