#pragma once

#include "base/string.h"
#include "gui/ctlcntr/autorun/visibility_map.h"

// The finished page and the components bound to its elements.
struct LauncherPage {
    BaseString text;
    VisibilityMap visibility;
};

// Reads the medium's files and builds the page; throws Error on failure.
using PageSource = LauncherPage (*)();

// The launcher's whole run, from the start of the component runtime to the
// end of the dialog: one launcher at a time (a second one brings the first
// one's window to the front), the page from `build_page` shown in the
// HtmlDialog, a failed start-up shown as a localized message. Returns the exit
// code: 1 when another launcher was running, otherwise 0.
int RunLauncher(PageSource build_page);
