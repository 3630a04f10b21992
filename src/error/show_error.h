#pragma once

#include <cstdint>

#include "base/string.h"
#include "error/error.h"
#include "object/ref.h"

// A top-level window of the platform (HWND, GtkWindow*), or null.
using WindowHandle = void*;

namespace Gui {

// The optional dialog component "CID_Gui::CommonDialogs", supplied (if at all)
// by a plug-in library.
class CommonDialogs : public BaseFace {
public:
    static constexpr Iid kIid{u"IID_Gui::CommonDialogs"};
    using Parent = BaseFace;

    virtual void ShowError(const Error& error, WindowHandle owner) = 0;
    virtual int ShowMessageBox(WindowHandle owner, const BaseString& text,
                               const BaseString& caption, uint32_t style) = 0;
};

inline constexpr char16_t kCommonDialogsClsid[] = u"CID_Gui::CommonDialogs";

}  // namespace Gui

// Shows an error: through the dialog component when one exists, otherwise in a
// message box captioned "Orvella" with the exclamation icon. An error that is
// not set, or that carries ErrUserCancel, shows nothing there.
void ShowError(const Error& error, WindowHandle owner);

// A message box through the dialog component, else the platform's own
// (MessageBoxW; on Linux a GTK dialog, or standard error without a display).
// Returns the button chosen.
int ShowMessageBox(WindowHandle owner, const BaseString& text, const BaseString& caption,
                   uint32_t style);

// The platform's message box itself.
int PlatformMessageBox(WindowHandle owner, const BaseString& text, const BaseString& caption,
                       uint32_t style);
