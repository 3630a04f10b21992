#pragma once

#include "base/win.h"

// The resolution the launcher's window is drawn at. The manifest declares the
// process aware of each monitor's resolution (the system's alone on Windows 7
// and 8), so Windows draws the window as it is rather than stretching a
// picture of it: its sizes are pixels of the monitor and follow its DPI.

// 96 DPI: the resolution the page's sizes are given for (100 % scaling).
inline constexpr UINT kDefaultDpi = 96;

// The window's DPI: the window's own from Windows 10 1607 on, its monitor's
// from Windows 8.1 on, before that the system's. The functions of the newer
// systems are looked up when the program runs (Windows 7 lacks them).
UINT WindowDpi(HWND window);

// The DPI the whole system was started with: what the web-browser control
// scales its page by when it is told it may (DOCHOSTUIFLAG_DPI_AWARE).
UINT SystemDpi();

// A size in pixels at 96 DPI, for `dpi`, rounded to the nearest pixel.
int ScaleForDpi(int pixels, UINT dpi);
