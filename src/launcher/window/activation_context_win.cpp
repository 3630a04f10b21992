#include "launcher/window/activation_context_win.h"

#include "base/platform.h"

namespace {

// Made once; INVALID_HANDLE_VALUE when the executable has no manifest.
HANDLE ExecutableContext() {
    static const HANDLE context = [] {
        BaseString path = Base::ExecutablePath();
        if (path.empty()) {
            return INVALID_HANDLE_VALUE;
        }
        ACTCTXW request{};
        request.cbSize = sizeof(request);
        request.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
        request.lpSource = WidePtr(path.c_str());
        request.hModule = ::GetModuleHandleW(nullptr);
        request.lpResourceName = CREATEPROCESS_MANIFEST_RESOURCE_ID;
        return ::CreateActCtxW(&request);
    }();
    return context;
}

}  // namespace

ManifestActivation::ManifestActivation() {
    HANDLE context = ExecutableContext();
    active_ = context != INVALID_HANDLE_VALUE && ::ActivateActCtx(context, &cookie_);
}

ManifestActivation::~ManifestActivation() {
    if (active_) {
        ::DeactivateActCtx(0, cookie_);
    }
}
