#pragma once

// The processor of the machine itself, whatever the program was built for and
// however the system runs it. A 32-bit x86 program answers kX64 under WOW64 on
// 64-bit x86 Windows and kArm64 when 64-bit ARM Windows emulates it: there
// IsSystem64Bit says "64-bit" too, yet an x64 program that installs drivers
// cannot install them.
//
// Windows: IsWow64Process2, looked up when asked (Windows 10 from 1709);
// before it, where no program runs emulated, GetNativeSystemInfo. POSIX: the
// machine that uname reports.
namespace Base {

enum class Processor {
    kOther,
    kX86,
    kX64,
    kArm64,
};

Processor NativeProcessor();

}  // namespace Base
