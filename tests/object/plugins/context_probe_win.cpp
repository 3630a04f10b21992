// A plug-in that notes whether an activation context was active while it was
// being loaded.
#include "base/export.h"
#include "base/win.h"

namespace {

bool ContextActive() {
    HANDLE context = nullptr;
    bool active = ::GetCurrentActCtx(&context) && context;
    if (context) {
        ::ReleaseActCtx(context);
    }
    return active;
}

const bool g_loaded_in_context = ContextActive();

}  // namespace

ORV_EXPORT bool ContextProbe_LoadedInContext() {
    return g_loaded_in_context;
}
