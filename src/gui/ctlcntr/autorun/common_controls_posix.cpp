#include <gtk/gtk.h>

#include "gui/ctlcntr/autorun/common_controls.h"

void InitCommonControls() {
    gdk_set_allowed_backends("x11");
    gtk_init_check(nullptr, nullptr);
}
