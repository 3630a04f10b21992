#pragma once

#include <cstdint>
#include <memory>

#include "base/platform.h"
#include "base/string.h"

class HtmlDialog;

// The platform's half of the launcher's window: a top-level dialog window of
// the class "#32770" holding a web engine. It shows its dialog's page, hidden
// until the page has loaded and the dialog has refreshed the visibility of
// the bound elements; hands every navigation of the page to the dialog and
// cancels it; refuses new windows; filters the keyboard (Escape ends the run,
// Tab and Return reach the page, other keys do not); and ends the run on
// Escape, closing, the end of the session and the broadcast end messages.
class HtmlView {
public:
    virtual ~HtmlView() = default;

    // Creates the window, runs until the run ends, destroys the window; 2 for
    // every ending. A page that the web engine could not be handed ends the
    // run before the window was shown and is thrown from here as its Error.
    virtual int32_t RunModal(WindowHandle owner) = 0;
    // Ends the run ("quit:").
    virtual void Quit() = 0;
    virtual WindowHandle window() const = 0;
    // Calls the page's script function SetObjectVisibility; a page without it,
    // or a failing script, is left as it is.
    virtual void SetObjectVisibility(const BaseString& element_id, bool visible) = 0;
    // While an extension runs: the wait cursor, and the page takes no input.
    // EndBusy enables the page and the window again, whatever the extension
    // did to them, and restores the cursor.
    virtual void BeginBusy() = 0;
    virtual void EndBusy() = 0;
};

std::unique_ptr<HtmlView> CreateHtmlView(HtmlDialog& dialog);
