#include "launcher/window/html_view.h"

#include "base/win.h"

namespace {

// The activation context of the executable's own manifest (resource 1, the
// version 6 common controls), made once; INVALID_HANDLE_VALUE when the
// executable has none.
HANDLE ExecutableContext() {
    static const HANDLE context = [] {
        wchar_t path[MAX_PATH];
        if (!::GetModuleFileNameW(nullptr, path, MAX_PATH)) {
            return INVALID_HANDLE_VALUE;
        }
        ACTCTXW request{};
        request.cbSize = sizeof(request);
        request.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
        request.lpSource = path;
        request.hModule = ::GetModuleHandleW(nullptr);
        request.lpResourceName = CREATEPROCESS_MANIFEST_RESOURCE_ID;
        return ::CreateActCtxW(&request);
    }();
    return context;
}

// InitCommonControls of the comctl32 that the context names, looked up once.
using InitFunction = void(WINAPI*)();

InitFunction InitCommonControlsFunction() {
    static const InitFunction function = [] {
        HMODULE comctl32 = ::LoadLibraryW(L"Comctl32.dll");
        return comctl32 ? reinterpret_cast<InitFunction>(reinterpret_cast<void*>(
                              ::GetProcAddress(comctl32, "InitCommonControls")))
                        : nullptr;
    }();
    return function;
}

}  // namespace

void InitCommonControls() {
    HANDLE context = ExecutableContext();
    ULONG_PTR cookie = 0;
    if (context == INVALID_HANDLE_VALUE || !::ActivateActCtx(context, &cookie)) {
        return;
    }
    if (InitFunction init = InitCommonControlsFunction()) {
        init();
    }
    ::DeactivateActCtx(0, cookie);
}
