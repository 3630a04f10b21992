#pragma once

#include "base/win.h"

#include <exdisp.h>
#include <oaidl.h>
#include <wrl/client.h>

#include <cstdint>
#include <functional>
#include <vector>

class HtmlDialog;

// Drives the launcher's dialog from inside its own message loop, the way the
// user, the web-browser control and other programs reach it: each step runs on
// a timer tick of the loop's thread, after the previous one has returned, with
// the dialog's window. A step that blocks in a modal loop of its own (a message
// box the dialog shows) has the next step run inside that loop.
using DialogStep = std::function<void(HWND dialog)>;

// Runs the dialog with the steps and returns what its run returned. The run
// must end by one of the steps; a run that outlives them by some seconds is
// ended and fails the test.
int32_t RunDialog(HtmlDialog& dialog, std::vector<DialogStep> steps);

// Runs `test` on a thread of its own in a single-threaded apartment, as the
// launcher's one thread is: every dialog starts with a fresh message queue.
void OnOwnThread(const std::function<void()>& test);

// The browser host window of the dialog.
HWND HostWindow(HWND dialog);

// The event sink the dialog connected to its control, found through the
// control's own connection point.
Microsoft::WRL::ComPtr<IDispatch> EventSink(HWND dialog);

// The control's IWebBrowser2.
Microsoft::WRL::ComPtr<IWebBrowser2> Browser(HWND dialog);

// The first top-level window of this thread of the class and title.
HWND ThreadWindow(const wchar_t* window_class, const wchar_t* title);
