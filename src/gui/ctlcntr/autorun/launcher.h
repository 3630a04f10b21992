#pragma once

#include <memory>

#include "base/string.h"
#include "gui/ctlcntr/autorun/visibility_map.h"

// The finished page and the components bound to its elements. The object also
// holds what built the page (open files, documents) until the run ends.
class LauncherPage {
public:
    virtual ~LauncherPage() = default;
    virtual const BaseString& text() const = 0;
    virtual const VisibilityMap& visibility() const = 0;
};

// Reads the medium's files and builds the page; throws Error on failure.
using PageSource = std::unique_ptr<LauncherPage> (*)();

// The launcher's whole run, from the start of the component runtime to the
// end of the dialog: one launcher at a time (a second one brings the first
// one's window to the front), the page from `build_page` shown in the
// HtmlDialog, a failed start-up shown as a localized message. Returns the exit
// code: 1 when another launcher was running, otherwise 0.
int RunLauncher(PageSource build_page);
