#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <gdk/gdkx.h>
#include <glib-unix.h>
#include <gtk/gtk.h>

#include <csignal>

#include "launcher/window/dialog_impl_gtk.h"

namespace {

// The platform's dialog class: the single-instance rule finds the first
// launcher's window by it.
constexpr char kDialogClass[] = "#32770";
// A hidden child that other programs of the product look for.
constexpr char kMarkerText[] = "Dravik:HidCt564";

}  // namespace

struct DialogImpl::Callbacks {
    // Escape ends the run; Tab and Return go to the page; every other key is
    // swallowed. GTK may call this twice for one key (again when the page did
    // not use it), so it only decides and keeps no state of its own.
    static gboolean OnKey(GtkWidget*, GdkEventKey* event, gpointer data) {
        auto* self = static_cast<DialogImpl*>(data);
        switch (event->keyval) {
            case GDK_KEY_Escape:
                if (event->type == GDK_KEY_PRESS) {
                    self->PostQuit(kEndResult);
                }
                return TRUE;
            case GDK_KEY_Tab:
            case GDK_KEY_ISO_Left_Tab:
            case GDK_KEY_Return:
            case GDK_KEY_KP_Enter:
                return FALSE;
            default:
                return TRUE;
        }
    }

    static gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer data) {
        auto* self = static_cast<DialogImpl*>(data);
        self->HandleMessage(false, [self] { self->PostQuit(kEndResult); });
        return TRUE;
    }

    static gboolean OnSessionEnd(gpointer data) {
        auto* self = static_cast<DialogImpl*>(data);
        self->HandleMessage(true, [] {});
        return G_SOURCE_CONTINUE;
    }

    static GdkFilterReturn FilterEndMessage(GdkXEvent* xevent, GdkEvent*, gpointer data) {
        auto* self = static_cast<DialogImpl*>(data);
        auto* event = static_cast<XEvent*>(xevent);
        if (event->type != ClientMessage) {
            return GDK_FILTER_CONTINUE;
        }
        Atom type = event->xclient.message_type;
        if (type == None || (type != self->logoff_atom_ && type != self->cancel_atom_)) {
            return GDK_FILTER_CONTINUE;
        }
        self->HandleMessage(true, [] {});
        return GDK_FILTER_REMOVE;
    }
};

DialogImpl::DialogImpl() {
    GdkDisplay* display = gdk_display_get_default();
    if (display && GDK_IS_X11_DISPLAY(display)) {
        logoff_atom_ = gdk_x11_get_xatom_by_name_for_display(display, "Tarnis::LogoffMessage");
        cancel_atom_ = gdk_x11_get_xatom_by_name_for_display(display, "Dravik::CancelDialog");
    }
    sigterm_source_ = g_unix_signal_add(SIGTERM, Callbacks::OnSessionEnd, this);
    sighup_source_ = g_unix_signal_add(SIGHUP, Callbacks::OnSessionEnd, this);
}

DialogImpl::~DialogImpl() {
    DestroyWindow();
    g_source_remove(sigterm_source_);
    g_source_remove(sighup_source_);
}

int32_t DialogImpl::RunModal(WindowHandle owner) {
    result_ = kEndResult;
    quit_ = false;
    if (!CreateWindow()) {
        return result_;
    }
    BeginModalRun();
    auto* owner_widget = static_cast<GtkWidget*>(owner);
    if (owner_widget) {
        gtk_window_set_transient_for(GTK_WINDOW(window_), GTK_WINDOW(owner_widget));
        gtk_widget_set_sensitive(owner_widget, FALSE);
    }
    HandleMessage(false, [this] {
        CreateMarker();
        OnInitDialog();
    });
    while (!quit_) {
        g_main_context_iteration(nullptr, TRUE);
    }
    DestroyWindow();
    if (owner_widget) {
        gtk_widget_set_sensitive(owner_widget, TRUE);
        gtk_window_present(GTK_WINDOW(owner_widget));
    }
    EndModalRun();
    return result_;
}

void DialogImpl::PostQuit(int32_t result) {
    if (!quit_) {
        quit_ = true;
        result_ = result;
        g_main_context_wakeup(nullptr);
    }
}

// A window that GTK may not resize takes the natural size of its content,
// and a web view's is the size of its page. The size is fixed instead by
// equal least and greatest sizes, which window managers honour as well.
void DialogImpl::SetFixedSize(int width, int height) {
    GdkGeometry size{};
    size.min_width = size.max_width = width;
    size.min_height = size.max_height = height;
    gtk_window_set_geometry_hints(
        GTK_WINDOW(window_), nullptr, &size,
        static_cast<GdkWindowHints>(GDK_HINT_MIN_SIZE | GDK_HINT_MAX_SIZE));
    gtk_window_set_default_size(GTK_WINDOW(window_), width, height);
}

void DialogImpl::ShowDialog(GtkWidget* focus) {
    gtk_widget_show(window_);
    gtk_window_present(GTK_WINDOW(window_));
    gtk_widget_grab_focus(focus);
}

bool DialogImpl::DisplayOpen() {
    GdkDisplay* display = gdk_display_get_default();
    return display && GDK_IS_X11_DISPLAY(display);
}

bool DialogImpl::CreateWindow() {
    if (!DisplayOpen()) {
        return false;
    }
    GdkDisplay* display = gdk_display_get_default();
    window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_position(GTK_WINDOW(window_), GTK_WIN_POS_CENTER);
    content_ = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
    gtk_container_add(GTK_CONTAINER(window_), content_);
    gtk_widget_show(content_);
    g_signal_connect(window_, "key-press-event", G_CALLBACK(Callbacks::OnKey), this);
    g_signal_connect(window_, "key-release-event", G_CALLBACK(Callbacks::OnKey), this);
    g_signal_connect(window_, "delete-event", G_CALLBACK(Callbacks::OnDelete), this);

    gtk_widget_realize(window_);
    GdkWindow* gdk_window = gtk_widget_get_window(window_);
    XClassHint hint{};
    std::string name = g_get_prgname() ? g_get_prgname() : "autorun";
    std::string window_class = kDialogClass;
    hint.res_name = name.data();
    hint.res_class = window_class.data();
    XSetClassHint(GDK_DISPLAY_XDISPLAY(display), GDK_WINDOW_XID(gdk_window), &hint);
    gdk_window_add_filter(gdk_window, Callbacks::FilterEndMessage, this);
    return true;
}

// A label, not an entry: it only carries its text, and an entry would also
// set up input methods that nobody types into.
void DialogImpl::CreateMarker() {
    GtkWidget* marker = gtk_label_new(kMarkerText);
    gtk_widget_set_name(marker, kMarkerText);
    gtk_widget_set_no_show_all(marker, TRUE);
    gtk_box_pack_end(GTK_BOX(content_), marker, FALSE, FALSE, 0);
}

void DialogImpl::DestroyWindow() {
    if (!window_) {
        return;
    }
    gdk_window_remove_filter(gtk_widget_get_window(window_), Callbacks::FilterEndMessage, this);
    gtk_widget_destroy(window_);
    window_ = nullptr;
    content_ = nullptr;
}
