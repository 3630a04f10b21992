// The functions of GTK, GDK, GdkPixbuf, Cairo, Xlib and WebKitGTK that the
// window code and the programs built on it call, each with its result and
// parameter types as its library's header declares them (web_engine_posix.cpp
// checks that they are the same):
//
//   ORV_WINDOW_FUNCTION(result, name, parameter types...)
//   ORV_WINDOW_PRINTF_FUNCTION(result, name, parameter types before the format...)
//
// the second for a function that ends in a printf format and its arguments. A
// call to a function missing here fails to link.

// Xlib
ORV_WINDOW_FUNCTION(int, XCloseDisplay, Display*)
ORV_WINDOW_FUNCTION(int, XFree, void*)
ORV_WINDOW_FUNCTION(int, XGetClassHint, Display*, Window, XClassHint*)
ORV_WINDOW_FUNCTION(int, XGetWindowProperty, Display*, Window, Atom, long, long, int, Atom, Atom*,
                    int*, unsigned long*, unsigned long*, unsigned char**)
ORV_WINDOW_FUNCTION(Atom, XInternAtom, Display*, const char*, int)
ORV_WINDOW_FUNCTION(int, XMapWindow, Display*, Window)
ORV_WINDOW_FUNCTION(Display*, XOpenDisplay, const char*)
ORV_WINDOW_FUNCTION(int, XQueryTree, Display*, Window, Window*, Window*, Window**, unsigned int*)
ORV_WINDOW_FUNCTION(int, XRaiseWindow, Display*, Window)
ORV_WINDOW_FUNCTION(int, XSendEvent, Display*, Window, int, long, XEvent*)
ORV_WINDOW_FUNCTION(int, XSetClassHint, Display*, Window, XClassHint*)
ORV_WINDOW_FUNCTION(XErrorHandler, XSetErrorHandler, XErrorHandler)
ORV_WINDOW_FUNCTION(int, XSync, Display*, int)

// Cairo
ORV_WINDOW_FUNCTION(int, cairo_image_surface_get_height, cairo_surface_t*)
ORV_WINDOW_FUNCTION(int, cairo_image_surface_get_width, cairo_surface_t*)
ORV_WINDOW_FUNCTION(cairo_region_t*, cairo_region_create)
ORV_WINDOW_FUNCTION(void, cairo_region_destroy, cairo_region_t*)
ORV_WINDOW_FUNCTION(void, cairo_surface_destroy, cairo_surface_t*)
ORV_WINDOW_FUNCTION(cairo_status_t, cairo_surface_write_to_png, cairo_surface_t*, const char*)

// GDK
ORV_WINDOW_FUNCTION(GdkCursor*, gdk_cursor_new_from_name, GdkDisplay*, const gchar*)
ORV_WINDOW_FUNCTION(void, gdk_display_flush, GdkDisplay*)
ORV_WINDOW_FUNCTION(GdkDisplay*, gdk_display_get_default)
ORV_WINDOW_FUNCTION(void, gdk_set_allowed_backends, const gchar*)
ORV_WINDOW_FUNCTION(void, gdk_window_add_filter, GdkWindow*, GdkFilterFunc, gpointer)
ORV_WINDOW_FUNCTION(GdkCursor*, gdk_window_get_cursor, GdkWindow*)
ORV_WINDOW_FUNCTION(GdkDisplay*, gdk_window_get_display, GdkWindow*)
ORV_WINDOW_FUNCTION(void, gdk_window_input_shape_combine_region, GdkWindow*, const cairo_region_t*,
                    gint, gint)
ORV_WINDOW_FUNCTION(void, gdk_window_remove_filter, GdkWindow*, GdkFilterFunc, gpointer)
ORV_WINDOW_FUNCTION(void, gdk_window_set_cursor, GdkWindow*, GdkCursor*)
ORV_WINDOW_FUNCTION(GType, gdk_x11_display_get_type)
ORV_WINDOW_FUNCTION(Display*, gdk_x11_display_get_xdisplay, GdkDisplay*)
ORV_WINDOW_FUNCTION(Atom, gdk_x11_get_xatom_by_name_for_display, GdkDisplay*, const gchar*)
ORV_WINDOW_FUNCTION(Window, gdk_x11_window_get_xid, GdkWindow*)

// GdkPixbuf
ORV_WINDOW_FUNCTION(GdkPixbuf*, gdk_pixbuf_new_from_file_at_size, const char*, int, int, GError**)

// GTK
ORV_WINDOW_FUNCTION(GType, gtk_box_get_type)
ORV_WINDOW_FUNCTION(GtkWidget*, gtk_box_new, GtkOrientation, gint)
ORV_WINDOW_FUNCTION(void, gtk_box_pack_end, GtkBox*, GtkWidget*, gboolean, gboolean, guint)
ORV_WINDOW_FUNCTION(void, gtk_box_pack_start, GtkBox*, GtkWidget*, gboolean, gboolean, guint)
ORV_WINDOW_FUNCTION(void, gtk_container_add, GtkContainer*, GtkWidget*)
ORV_WINDOW_FUNCTION(GList*, gtk_container_get_children, GtkContainer*)
ORV_WINDOW_FUNCTION(GType, gtk_container_get_type)
ORV_WINDOW_FUNCTION(GType, gtk_dialog_get_type)
ORV_WINDOW_FUNCTION(gint, gtk_dialog_run, GtkDialog*)
ORV_WINDOW_FUNCTION(void, gtk_drag_dest_unset, GtkWidget*)
ORV_WINDOW_FUNCTION(gboolean, gtk_events_pending)
ORV_WINDOW_FUNCTION(gboolean, gtk_init_check, int*, char***)
ORV_WINDOW_FUNCTION(GtkWidget*, gtk_label_new, const gchar*)
ORV_WINDOW_FUNCTION(gboolean, gtk_main_iteration)
ORV_WINDOW_PRINTF_FUNCTION(GtkWidget*, gtk_message_dialog_new, GtkWindow*, GtkDialogFlags,
                           GtkMessageType, GtkButtonsType)
ORV_WINDOW_FUNCTION(void, gtk_widget_destroy, GtkWidget*)
ORV_WINDOW_FUNCTION(void, gtk_widget_get_size_request, GtkWidget*, gint*, gint*)
ORV_WINDOW_FUNCTION(GType, gtk_widget_get_type)
ORV_WINDOW_FUNCTION(GdkWindow*, gtk_widget_get_window, GtkWidget*)
ORV_WINDOW_FUNCTION(void, gtk_widget_grab_focus, GtkWidget*)
ORV_WINDOW_FUNCTION(void, gtk_widget_realize, GtkWidget*)
ORV_WINDOW_FUNCTION(void, gtk_widget_set_name, GtkWidget*, const gchar*)
ORV_WINDOW_FUNCTION(void, gtk_widget_set_no_show_all, GtkWidget*, gboolean)
ORV_WINDOW_FUNCTION(void, gtk_widget_set_sensitive, GtkWidget*, gboolean)
ORV_WINDOW_FUNCTION(void, gtk_widget_set_size_request, GtkWidget*, gint, gint)
ORV_WINDOW_FUNCTION(void, gtk_widget_show, GtkWidget*)
ORV_WINDOW_FUNCTION(void, gtk_window_close, GtkWindow*)
ORV_WINDOW_FUNCTION(GType, gtk_window_get_type)
ORV_WINDOW_FUNCTION(GtkWidget*, gtk_window_new, GtkWindowType)
ORV_WINDOW_FUNCTION(void, gtk_window_present, GtkWindow*)
ORV_WINDOW_FUNCTION(void, gtk_window_set_default_size, GtkWindow*, gint, gint)
ORV_WINDOW_FUNCTION(void, gtk_window_set_geometry_hints, GtkWindow*, GtkWidget*, GdkGeometry*,
                    GdkWindowHints)
ORV_WINDOW_FUNCTION(void, gtk_window_set_icon, GtkWindow*, GdkPixbuf*)
ORV_WINDOW_FUNCTION(void, gtk_window_set_position, GtkWindow*, GtkWindowPosition)
ORV_WINDOW_FUNCTION(void, gtk_window_set_title, GtkWindow*, const gchar*)
ORV_WINDOW_FUNCTION(void, gtk_window_set_transient_for, GtkWindow*, GtkWindow*)

// WebKitGTK
ORV_WINDOW_FUNCTION(guint, webkit_get_major_version)
ORV_WINDOW_FUNCTION(guint, webkit_get_micro_version)
ORV_WINDOW_FUNCTION(guint, webkit_get_minor_version)
ORV_WINDOW_FUNCTION(guint, webkit_navigation_action_get_modifiers, WebKitNavigationAction*)
ORV_WINDOW_FUNCTION(guint, webkit_navigation_action_get_mouse_button, WebKitNavigationAction*)
ORV_WINDOW_FUNCTION(WebKitURIRequest*, webkit_navigation_action_get_request,
                    WebKitNavigationAction*)
ORV_WINDOW_FUNCTION(WebKitNavigationAction*,
                    webkit_navigation_policy_decision_get_navigation_action,
                    WebKitNavigationPolicyDecision*)
ORV_WINDOW_FUNCTION(GType, webkit_navigation_policy_decision_get_type)
ORV_WINDOW_FUNCTION(void, webkit_policy_decision_ignore, WebKitPolicyDecision*)
ORV_WINDOW_FUNCTION(void, webkit_policy_decision_use, WebKitPolicyDecision*)
ORV_WINDOW_FUNCTION(void, webkit_settings_set_enable_developer_extras, WebKitSettings*, gboolean)
ORV_WINDOW_FUNCTION(void, webkit_settings_set_hardware_acceleration_policy, WebKitSettings*,
                    WebKitHardwareAccelerationPolicy)
ORV_WINDOW_FUNCTION(void, webkit_settings_set_javascript_can_open_windows_automatically,
                    WebKitSettings*, gboolean)
ORV_WINDOW_FUNCTION(const gchar*, webkit_uri_request_get_uri, WebKitURIRequest*)
ORV_WINDOW_FUNCTION(void, webkit_user_content_manager_add_style_sheet, WebKitUserContentManager*,
                    WebKitUserStyleSheet*)
ORV_WINDOW_FUNCTION(WebKitUserContentManager*, webkit_user_content_manager_new)
ORV_WINDOW_FUNCTION(WebKitUserStyleSheet*, webkit_user_style_sheet_new, const gchar*,
                    WebKitUserContentInjectedFrames, WebKitUserStyleLevel, const gchar* const*,
                    const gchar* const*)
ORV_WINDOW_FUNCTION(void, webkit_user_style_sheet_unref, WebKitUserStyleSheet*)
ORV_WINDOW_FUNCTION(void, webkit_web_view_call_async_javascript_function, WebKitWebView*,
                    const char*, gssize, GVariant*, const char*, const char*, GCancellable*,
                    GAsyncReadyCallback, gpointer)
ORV_WINDOW_FUNCTION(void, webkit_web_view_can_execute_editing_command, WebKitWebView*, const gchar*,
                    GCancellable*, GAsyncReadyCallback, gpointer)
ORV_WINDOW_FUNCTION(gboolean, webkit_web_view_can_execute_editing_command_finish, WebKitWebView*,
                    GAsyncResult*, GError**)
ORV_WINDOW_FUNCTION(WebKitSettings*, webkit_web_view_get_settings, WebKitWebView*)
ORV_WINDOW_FUNCTION(void, webkit_web_view_get_snapshot, WebKitWebView*, WebKitSnapshotRegion,
                    WebKitSnapshotOptions, GCancellable*, GAsyncReadyCallback, gpointer)
ORV_WINDOW_FUNCTION(cairo_surface_t*, webkit_web_view_get_snapshot_finish, WebKitWebView*,
                    GAsyncResult*, GError**)
ORV_WINDOW_FUNCTION(GType, webkit_web_view_get_type)
ORV_WINDOW_FUNCTION(void, webkit_web_view_load_html, WebKitWebView*, const gchar*, const gchar*)
ORV_WINDOW_FUNCTION(GtkWidget*, webkit_web_view_new_with_user_content_manager,
                    WebKitUserContentManager*)
ORV_WINDOW_FUNCTION(void, webkit_web_view_set_background_color, WebKitWebView*, const GdkRGBA*)
