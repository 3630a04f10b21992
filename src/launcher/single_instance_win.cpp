#include "launcher/single_instance.h"

#include "base/string.h"
#include "base/win.h"

SingleInstanceLock::SingleInstanceLock(std::u16string_view name) {
    BaseString mutex_name(name);
    HANDLE mutex = ::CreateMutexW(nullptr, FALSE, WidePtr(mutex_name.c_str()));
    another_instance_ = ::GetLastError() == ERROR_ALREADY_EXISTS;
    if (mutex) {
        handle_ = reinterpret_cast<intptr_t>(mutex);
    }
}

SingleInstanceLock::~SingleInstanceLock() {
    if (handle_ != -1) {
        ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
    }
}
