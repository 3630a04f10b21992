// The floor of the web engine: the smallest WebKitGTK program that shows a
// finished HTML page (the file named by the first argument) the way the
// launcher does, at the same size and with the same hardware acceleration
// policy; everything else is the engine's default. It shows its window once the
// page has loaded and runs until it is terminated.
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <string>

int main(int argc, char** argv) {
    if (argc < 2 || !gtk_init_check(nullptr, nullptr)) {
        return 2;
    }
    gchar* html = nullptr;
    if (!g_file_get_contents(argv[1], &html, nullptr, nullptr)) {
        return 2;
    }
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_position(GTK_WINDOW(window), GTK_WIN_POS_CENTER);
    gtk_window_set_resizable(GTK_WINDOW(window), FALSE);
    GtkWidget* view = webkit_web_view_new();
    webkit_settings_set_hardware_acceleration_policy(
        webkit_web_view_get_settings(WEBKIT_WEB_VIEW(view)),
        WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
    gtk_widget_set_size_request(view, 670, 490);
    gtk_container_add(GTK_CONTAINER(window), view);
    gtk_widget_show(view);
    g_signal_connect(view, "load-changed",
                     G_CALLBACK(+[](WebKitWebView*, WebKitLoadEvent event, gpointer data) {
                         if (event == WEBKIT_LOAD_FINISHED) {
                             gtk_widget_show(GTK_WIDGET(data));
                         }
                     }),
                     window);
    gchar* folder = g_get_current_dir();
    std::string base = std::string("file://") + folder + "/";
    webkit_web_view_load_html(WEBKIT_WEB_VIEW(view), html, base.c_str());
    g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
    gtk_main();
    g_free(folder);
    g_free(html);
    return 0;
}
