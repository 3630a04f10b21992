#pragma once

#include <cstdint>

#include "base/platform.h"
#include "base/string.h"
#include "error/error.h"

// Shows an error: through the dialog component "CID_Gui::CommonDialogs" when
// one exists, otherwise in a message box captioned "Orvella" with the
// exclamation icon. An error that is not set, or that carries ErrUserCancel,
// shows nothing there.
void ShowError(const Error& error, WindowHandle owner);

// A message box through the dialog component, else the installed one.
// Returns the button chosen.
int ShowMessageBox(WindowHandle owner, const BaseString& text, const BaseString& caption,
                   uint32_t style);

// The message box behind ShowMessageBox when there is no dialog component. By
// default the platform's own (MessageBoxW on Windows; on POSIX the text on
// standard error); a window library installs its own. Returns the previous one.
using MessageBoxFunction = int (*)(WindowHandle owner, const BaseString& text,
                                   const BaseString& caption, uint32_t style);
MessageBoxFunction InstallMessageBox(MessageBoxFunction message_box);

// The platform's default message box.
int PlatformMessageBox(WindowHandle owner, const BaseString& text, const BaseString& caption,
                       uint32_t style);
