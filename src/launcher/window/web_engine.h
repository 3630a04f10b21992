#pragma once

// The web engine and the window system under the launcher's window.
//
// Linux: the programs that show windows do not name GTK, X11 or WebKitGTK to
// the system's loader; these are loaded here when first needed. A machine
// without them still starts the launcher, which then says what to install
// instead of dying in the loader with a message nobody sees. Windows: the
// browser control and the window system are part of the system.

// Loads the window system (GTK 3 on X11, with Xlib); false when it is not on
// the machine. Loading again answers at once.
bool LoadWindowSystem();

// Loads the web engine and the window system it needs. Throws Error with the
// localized WebEngineMissingText, which names the package to install, when
// the engine is not on the machine.
void LoadWebEngine();

// Whether the engine is loaded by LoadWebEngine, before the window is made
// (Linux), rather than with the window (Windows, where the browser control
// comes with the dialog). Only then does the launcher prepare its page
// meanwhile.
bool WebEngineLoadsBeforeTheWindow();
