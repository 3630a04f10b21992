#include "launcher/window_system_startup.h"

#include "launcher/com_support.h"
#include "launcher/esc_domain.h"
#include "launcher/window/common_controls_win.h"

bool WindowSystemStartup::LoadsWebEngine() {
    return false;
}

WindowSystemStartup::~WindowSystemStartup() {
    ReleaseComInitialization();
    UnregisterEscDomain();
}

void WindowSystemStartup::Start() {
    InitCommonControls();
    EnsureComInitialized();
}

void WindowSystemStartup::BeforeDialog() {
    RegisterEscDomain();
}
