#include "base/processor.h"

#include <sys/utsname.h>

#include <string_view>

namespace Base {

Processor NativeProcessor() {
    utsname names;
    if (uname(&names) != 0) {
        return Processor::kOther;
    }
    std::string_view machine = names.machine;
    if (machine == "x86_64" || machine == "amd64") {
        return Processor::kX64;
    }
    if (machine == "aarch64" || machine == "arm64") {
        return Processor::kArm64;
    }
    // i386 to i686
    if (machine.size() == 4 && machine.starts_with('i') && machine.ends_with("86")) {
        return Processor::kX86;
    }
    return Processor::kOther;
}

}  // namespace Base
