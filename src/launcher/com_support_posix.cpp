#include "launcher/com_support.h"

namespace ComSupport {

int32_t PlatformInitialize(uint32_t) {
    return 0;
}

void PlatformUninitialize() {}

}  // namespace ComSupport
