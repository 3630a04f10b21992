#include "launcher/window_system_startup.h"

#include "launcher/window/web_engine.h"

bool WindowSystemStartup::LoadsWebEngine() {
    return true;
}

WindowSystemStartup::~WindowSystemStartup() = default;

void WindowSystemStartup::Start() {
    LoadWebEngine();
    StartGtk();
}

// The browser's zone map is a Windows matter.
void WindowSystemStartup::BeforeDialog() {}
