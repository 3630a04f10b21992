#include "launcher/window/web_engine.h"

bool LoadWindowSystem() {
    return true;
}

void LoadWebEngine() {}

bool WebEngineLoadsBeforeTheWindow() {
    return false;
}
