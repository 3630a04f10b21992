#pragma once

#include <cstdint>

#include "base/platform.h"
#include "base/win.h"
#include "launcher/window/modal_dialog_base.h"

// A modal dialog window made from a dialog template of the executable, in the
// current language, with a message loop of its own. The window is created
// hidden and shown when the concrete dialog posts kShowPageMessage to it.
//
// Every message of the window reaches the concrete dialog's message map
// through ModalDialogBase::HandleMessage, so a failing handler ends the run.
// The run ends on Escape (whichever window has the focus, or none), on a quit
// message, on message 0 for the window or its marker (its wParam is the
// result), on the end of the session (WM_ENDSESSION) and on the broadcast
// messages "Tarnis::LogoffMessage" and "Dravik::CancelDialog" of the other
// programs of the product. Of the keys, Tab and Return go to the content
// (TranslateNavigationKey, then translated and dispatched unless it took them)
// and every other key is dropped: the window takes no typing. A key pressed
// while no window has the focus gives the focus to FocusTarget() and goes no
// further. Ctrl with the mouse wheel does not zoom the content.
class DialogImpl : public ModalDialogBase {
public:
    // Posted by the dialog to itself when its content is ready; the loop shows
    // the window and focuses FocusTarget(). Never dispatched.
    static constexpr UINT kShowPageMessage = 0x047B;

    explicit DialogImpl(int template_id);
    DialogImpl(const DialogImpl&) = delete;
    DialogImpl& operator=(const DialogImpl&) = delete;

    // Creates the window (inside the activation context of the executable's
    // manifest), runs the loop until the dialog ends, destroys the window and
    // returns the result: 2 for every ending but message 0. An owner is
    // disabled while the dialog runs. A run that ends for a failure before the
    // window was shown throws the failure once the window is gone; without
    // the template, or when the window cannot be made, the run throws at once
    // ("dlg-tpl-fld", "dlg-crt-fld" with the system's error).
    int32_t RunModal(WindowHandle owner);

    void EndModal() override { ::PostQuitMessage(kEndResult); }

protected:
    static constexpr int32_t kEndResult = 2;

    HWND window() const { return window_; }

    // The dialog's message map: true when it handled the message, with the
    // message's result in `result` (for WM_INITDIALOG: whether the platform
    // sets the default focus).
    virtual bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, INT_PTR& result) = 0;
    // Where the keyboard focus goes when the window is shown.
    virtual HWND FocusTarget() const = 0;
    // Tab or Return, for the content to move between or activate its links:
    // true when the content took the key as an accelerator, false when the
    // loop is to translate and dispatch it.
    virtual bool TranslateNavigationKey(MSG& message) = 0;

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    INT_PTR Dispatch(UINT message, WPARAM wparam, LPARAM lparam);
    bool IsEndMessage(UINT message) const;
    void CreateMarker();
    int32_t RunLoop();

    int template_id_;
    HWND window_ = nullptr;
    HWND marker_ = nullptr;
    // Whether the run has shown the window.
    bool shown_ = false;
    // WM_ENDSESSION and the two registered broadcast messages; a message that
    // could not be registered is 0 and matches nothing.
    UINT end_messages_[3];
};
