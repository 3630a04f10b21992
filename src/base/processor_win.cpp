#include "base/processor.h"

#include "base/win.h"

namespace Base {

namespace {

Processor FromImageMachine(USHORT machine) {
    switch (machine) {
        case IMAGE_FILE_MACHINE_I386:
            return Processor::kX86;
        case IMAGE_FILE_MACHINE_AMD64:
            return Processor::kX64;
        case IMAGE_FILE_MACHINE_ARM64:
            return Processor::kArm64;
    }
    return Processor::kOther;
}

Processor FromArchitecture(WORD architecture) {
    switch (architecture) {
        case PROCESSOR_ARCHITECTURE_INTEL:
            return Processor::kX86;
        case PROCESSOR_ARCHITECTURE_AMD64:
            return Processor::kX64;
        case PROCESSOR_ARCHITECTURE_ARM64:
            return Processor::kArm64;
    }
    return Processor::kOther;
}

}  // namespace

Processor NativeProcessor() {
    // GetNativeSystemInfo reports the emulated processor to an emulated
    // program; IsWow64Process2 sees through the emulation.
    using IsWow64Process2Function = BOOL(WINAPI*)(HANDLE, USHORT*, USHORT*);
    auto is_wow64_process2 = reinterpret_cast<IsWow64Process2Function>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32"), "IsWow64Process2")));
    USHORT process = 0;
    USHORT native = 0;
    if (is_wow64_process2 && is_wow64_process2(::GetCurrentProcess(), &process, &native)) {
        return FromImageMachine(native);
    }
    SYSTEM_INFO info;
    ::GetNativeSystemInfo(&info);
    return FromArchitecture(info.wProcessorArchitecture);
}

}  // namespace Base
