#include "launcher/commands/close_menu.h"

namespace {

CloseMenuHandler close_menu_handler = nullptr;

}  // namespace

void CloseMenu(WindowHandle window) {
    if (close_menu_handler) {
        close_menu_handler(window);
    }
}

void SetCloseMenuHandler(CloseMenuHandler handler) {
    close_menu_handler = handler;
}
