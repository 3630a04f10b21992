#include <gtk/gtk.h>

#include <string>

#include "error/show_error.h"
#include "launcher/window/web_engine.h"

namespace {

bool DisplayAvailable() {
    static const bool available = LoadWindowSystem() && gtk_init_check(nullptr, nullptr);
    return available;
}

// A GTK message dialog when GTK is there and a display opens; the platform's
// text on standard error otherwise.
int GtkMessageBox(WindowHandle owner, const BaseString& text, const BaseString& caption,
                  uint32_t style) {
    if (!DisplayAvailable()) {
        return PlatformMessageBox(owner, text, caption, style);
    }
    GtkMessageType icon = GTK_MESSAGE_OTHER;
    switch (style & 0xF0) {
        case 0x10:
            icon = GTK_MESSAGE_ERROR;
            break;
        case 0x20:
            icon = GTK_MESSAGE_QUESTION;
            break;
        case 0x30:
            icon = GTK_MESSAGE_WARNING;
            break;
        case 0x40:
            icon = GTK_MESSAGE_INFO;
            break;
    }
    std::string utf8_text = text.ToUtf8();
    GtkWidget* dialog = gtk_message_dialog_new(static_cast<GtkWindow*>(owner), GTK_DIALOG_MODAL,
                                               icon, GTK_BUTTONS_OK, "%s", utf8_text.c_str());
    gtk_window_set_title(GTK_WINDOW(dialog), caption.ToUtf8().c_str());
    gtk_window_set_position(GTK_WINDOW(dialog),
                            owner ? GTK_WIN_POS_CENTER_ON_PARENT : GTK_WIN_POS_CENTER);
    gtk_dialog_run(GTK_DIALOG(dialog));
    gtk_widget_destroy(dialog);
    while (gtk_events_pending()) {
        gtk_main_iteration();
    }
    constexpr int kIdOk = 1;
    return kIdOk;
}

// Every program that links the window shows its errors in a window.
const bool g_installed = (InstallMessageBox(GtkMessageBox), true);

}  // namespace
