#include <ole2.h>

#include "base/win.h"
#include "launcher/com_support.h"

namespace ComSupport {

// OLE on top of COM: the page's drag and drop and clipboard need it. It always
// makes the thread a single-threaded apartment, which is what `flags` asks for.
int32_t PlatformInitialize(uint32_t) {
    return static_cast<int32_t>(::OleInitialize(nullptr));
}

void PlatformUninitialize() {
    ::OleUninitialize();
}

}  // namespace ComSupport
