#pragma once

#include "base/platform.h"

// Ends the run of the menu whose window that is, as its "quit:" links do;
// does nothing where no menu runs (the page tool). For page extensions that
// close the menu once they have done their work.
void CloseMenu(WindowHandle window);

// For the window code: how a running menu is asked to end. One handler for the
// process; null removes it.
using CloseMenuHandler = void (*)(WindowHandle window);
void SetCloseMenuHandler(CloseMenuHandler handler);
