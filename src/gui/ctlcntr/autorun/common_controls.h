#pragma once

// Prepares the platform's window system for the launcher's windows. A failure
// is not an error: the step is skipped (without a display on Linux the dialog
// has no window and messages go to standard error).
//
// Windows: the common controls of the executable's manifest. Linux: GTK on its
// X11 backend, which the window search and the end messages speak.
void InitCommonControls();
