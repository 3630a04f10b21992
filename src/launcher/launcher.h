#pragma once

#include "launcher/page/start_page.h"

// The launcher's whole run, from the start of the component runtime to the
// end of the dialog: one launcher at a time (a second one brings the first
// one's window to the front), the page from `build_page` shown in the
// HtmlDialog, a failed start-up shown as a localized message. Returns the exit
// code: 1 when another launcher was running, otherwise 0.
int RunLauncher(PageSource build_page);
