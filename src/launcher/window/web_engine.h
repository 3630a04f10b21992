#pragma once

// The web engine and the window system under the launcher's window on Linux.
//
// The programs that show windows do not name GTK, X11 or WebKitGTK to the
// system's loader; these are loaded here when first needed. A machine without
// them still starts the launcher, which then says what to install instead of
// dying in the loader with a message nobody sees. (On Windows the browser
// control and the window system are part of the system.)

// Loads the window system (GTK 3 on X11, with Xlib); false when it is not on
// the machine. Loading again answers at once.
bool LoadWindowSystem();

// Loads the web engine and the window system it needs. Throws Error with the
// localized WebEngineMissingText, which names the package to install, when
// the engine is not on the machine, and with WebEngineTooOldText when it is
// older than the oldest that has every function the window code calls.
void LoadWebEngine();

// The oldest WebKitGTK (either API) the window code runs on: 2.40 added
// webkit_web_view_call_async_javascript_function.
inline constexpr unsigned kOldestWebKitMajor = 2;
inline constexpr unsigned kOldestWebKitMinor = 40;

// Starts GTK on its X11 backend, which the window search and the end messages
// speak. Without the window system or a display nothing starts, and that is
// no error: the dialog then has no window and messages go to standard error.
void StartGtk();
