#pragma once

#include <cstdint>

#include <gtk/gtk.h>

#include "base/platform.h"
#include "launcher/window/modal_dialog_base.h"

// A modal top-level dialog window (GTK on X11) with its own loop. The window
// has the X11 class "#32770", is created hidden and stays so until the
// concrete dialog calls ShowDialog. The run ends on Escape, on closing the
// window, on SIGTERM or SIGHUP (the session ends), and on a ClientMessage of
// the atom "Tarnis::LogoffMessage" or "Dravik::CancelDialog" sent to the
// window by another program of the product. Keys reach the page only when
// they are Tab or Return; every other key is swallowed.
class DialogImpl : public ModalDialogBase {
public:
    DialogImpl();
    ~DialogImpl() override;
    DialogImpl(const DialogImpl&) = delete;
    DialogImpl& operator=(const DialogImpl&) = delete;

    // Creates the window, runs the loop until the dialog ends, destroys the
    // window, and returns the result: 2 for every ending. Without a display
    // there is no window and the run ends at once.
    int32_t RunModal(WindowHandle owner);

    // Leaves the loop with the given result (PostQuitMessage).
    void PostQuit(int32_t result);
    void EndModal() override { PostQuit(kEndResult); }

protected:
    static constexpr int32_t kEndResult = 2;

    // Builds the window's content; runs as a message handler, so a failure ends
    // the run before the window was ever shown.
    virtual void OnInitDialog() = 0;

    // Whether the dialog gets a window: a display of the X11 backend is open.
    static bool DisplayOpen();
    GtkWidget* window() const { return window_; }
    // The box that holds the dialog's content.
    GtkWidget* content() const { return content_; }
    // The size of the window's content, which the user cannot change.
    void SetFixedSize(int width, int height);
    // Shows the window with the keyboard focus in `focus`.
    void ShowDialog(GtkWidget* focus);

private:
    bool CreateWindow();
    void CreateMarker();
    void DestroyWindow();

    // The GTK and GLib callbacks, defined with the window code.
    struct Callbacks;

    GtkWidget* window_ = nullptr;
    GtkWidget* content_ = nullptr;
    unsigned long logoff_atom_ = 0;
    unsigned long cancel_atom_ = 0;
    unsigned int sigterm_source_ = 0;
    unsigned int sighup_source_ = 0;
    bool quit_ = false;
    int32_t result_ = kEndResult;
};
