#include "launcher/window/common_controls_win.h"

#include "launcher/window/activation_context_win.h"

namespace {

// InitCommonControls of the comctl32 that the manifest names, looked up once:
// by name, which the manifest's activation finds in the system's side-by-side
// store before any folder (a full path would bypass it, and comctl32 is no
// known library to import).
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
    ManifestActivation activation;
    if (!activation.active()) {
        return;
    }
    if (InitFunction init = InitCommonControlsFunction()) {
        init();
    }
}
