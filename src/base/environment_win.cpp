#include "base/environment.h"

#include "base/win.h"

namespace Base {

std::optional<BaseString> EnvironmentVariable(std::u16string_view name) {
    BaseString key(name);
    // The size with the terminating zero; 0 with ERROR_ENVVAR_NOT_FOUND when
    // the variable is not set, 0 without it when it is set and empty.
    ::SetLastError(ERROR_SUCCESS);
    DWORD size = ::GetEnvironmentVariableW(WidePtr(key.c_str()), nullptr, 0);
    if (size == 0) {
        if (::GetLastError() == ERROR_ENVVAR_NOT_FOUND) {
            return std::nullopt;
        }
        return BaseString();
    }
    for (;;) {
        BaseString value;
        char16_t* buffer = value.AppendUninitialized(size);
        DWORD length = ::GetEnvironmentVariableW(WidePtr(key.c_str()), WidePtr(buffer), size);
        if (length == 0) {
            return ::GetLastError() == ERROR_ENVVAR_NOT_FOUND
                       ? std::nullopt
                       : std::optional<BaseString>(BaseString());
        }
        if (length < size) {
            value.Truncate(length);
            return value;
        }
        size = length;  // it grew meanwhile
    }
}

}  // namespace Base
