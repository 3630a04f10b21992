#include "base/system_version.h"

#include "base/win.h"

namespace Base {

std::vector<uint32_t> SystemVersion() {
    // GetVersionExW answers what the program's manifest declares it knows;
    // ntdll's RtlGetVersion answers the system's own version.
    using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOW*);
    auto rtl_get_version = reinterpret_cast<RtlGetVersionFunction>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll"), "RtlGetVersion")));
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!rtl_get_version || rtl_get_version(&info) != 0) {
        return {};
    }
    return {info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber};
}

}  // namespace Base
