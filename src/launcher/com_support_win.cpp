#include <objbase.h>

#include "base/win.h"
#include "launcher/com_support.h"

namespace ComSupport {

int32_t PlatformInitialize(uint32_t flags) {
    return static_cast<int32_t>(::CoInitializeEx(nullptr, flags));
}

void PlatformUninitialize() {
    ::CoUninitialize();
}

}  // namespace ComSupport
