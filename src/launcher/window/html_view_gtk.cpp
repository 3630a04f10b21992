#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <iterator>
#include <string>

#include "launcher/window/dialog_impl_gtk.h"
#include "launcher/window/html_dialog.h"
#include "launcher/window/html_view.h"

namespace {

constexpr int kIconSize = 16;

// No scroll bars and no text selection: the page is a fixed menu, not a
// document.
constexpr char kPageStyle[] =
    "html { overflow: hidden !important; }"
    "* { user-select: none !important; -webkit-user-select: none !important;"
    " -webkit-user-drag: none !important; }";

// Settings the engine reads from the environment when it starts, tuned for a
// fixed menu page:
// - its scripts are a few lines: the web process runs them without the script
//   engine's compiler, whose memory would be spent for nothing;
// - it is painted by the processor (hardware acceleration is off), so the
//   renderer that shares graphics buffers with this process would only set up a
//   GL display here to show frames painted in memory: megabytes, and time.
// The variables are set only while the engine starts, so the programs the page
// starts never see them. A setting of the user's own is left alone.
class EngineStartEnvironment {
public:
    EngineStartEnvironment() {
        for (size_t i = 0; i < std::size(kVariables); ++i) {
            set_[i] = !g_getenv(kVariables[i].name);
            if (set_[i]) {
                g_setenv(kVariables[i].name, kVariables[i].value, TRUE);
            }
        }
    }
    ~EngineStartEnvironment() {
        for (size_t i = 0; i < std::size(kVariables); ++i) {
            if (set_[i]) {
                g_unsetenv(kVariables[i].name);
            }
        }
    }
    EngineStartEnvironment(const EngineStartEnvironment&) = delete;
    EngineStartEnvironment& operator=(const EngineStartEnvironment&) = delete;

private:
    struct Variable {
        const char* name;
        const char* value;
    };
    static constexpr Variable kVariables[] = {
        {"JSC_useJIT", "false"},
        {"WEBKIT_DISABLE_DMABUF_RENDERER", "1"},
    };
    bool set_[std::size(kVariables)] = {};
};

// Shift, Control and the middle button ask a browser for a new window.
bool AsksForNewWindow(WebKitNavigationAction* action) {
    guint modifiers = webkit_navigation_action_get_modifiers(action);
    return (modifiers & (GDK_SHIFT_MASK | GDK_CONTROL_MASK)) != 0 ||
           webkit_navigation_action_get_mouse_button(action) == 2;
}

// The launcher's window on GTK: a WebKitGTK web view in the modal dialog. The
// page is loaded with the current directory as its base, so that the
// medium's images and style sheets load.
class HtmlViewGtk final : public HtmlView, private DialogImpl {
public:
    explicit HtmlViewGtk(HtmlDialog& dialog) : dialog_(dialog) {
        std::string icon_path = WindowIconPath().ToUtf8();
        icon_ = gdk_pixbuf_new_from_file_at_size(icon_path.c_str(), kIconSize, kIconSize, nullptr);
    }

    ~HtmlViewGtk() override {
        if (pending_show_) {
            g_cancellable_cancel(pending_show_);
            g_object_unref(pending_show_);
        }
        if (icon_) {
            g_object_unref(icon_);
        }
        if (web_view_) {
            g_object_unref(web_view_);
        }
    }

    int32_t RunModal(WindowHandle owner) override {
        StartEngine();
        return DialogImpl::RunModal(owner);
    }
    void Quit() override { PostQuit(kEndResult); }
    WindowHandle window() const override { return DialogImpl::window(); }
    void SetObjectVisibility(const BaseString& element_id, bool visible) override;
    void BeginBusy() override;
    void EndBusy() override;

private:
    struct Callbacks;

    void StartEngine();
    void OnInitDialog() override;
    void LoadPage();
    void OnPageLoaded();

    HtmlDialog& dialog_;
    WindowLook look_{};
    GtkWidget* web_view_ = nullptr;
    std::string base_uri_;
    bool awaiting_page_ = false;
    GdkPixbuf* icon_ = nullptr;
    GCancellable* pending_show_ = nullptr;
    GdkCursor* busy_previous_cursor_ = nullptr;
};

struct HtmlViewGtk::Callbacks {
    static gboolean OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision,
                                   WebKitPolicyDecisionType type, gpointer data) {
        auto* self = static_cast<HtmlViewGtk*>(data);
        if (type == WEBKIT_POLICY_DECISION_TYPE_RESPONSE) {
            return FALSE;
        }
        if (type == WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION) {
            WebKitNavigationAction* action =
                webkit_navigation_policy_decision_get_navigation_action(
                    WEBKIT_NAVIGATION_POLICY_DECISION(decision));
            const char* uri =
                webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
            std::string url = uri ? uri : "";
            if (self->awaiting_page_ && url == self->base_uri_) {
                webkit_policy_decision_use(decision);
                return TRUE;
            }
            if (!AsksForNewWindow(action)) {
                BaseString command_url = BaseString::FromUtf8(url);
                self->HandleMessage(false, [&] { self->dialog_.ExecuteLinkCommand(command_url); });
                self->HandleMessage(false, [self] { self->dialog_.RefreshVisibility(); });
            }
        }
        webkit_policy_decision_ignore(decision);
        return TRUE;
    }

    static GtkWidget* OnCreate(WebKitWebView*, WebKitNavigationAction*, gpointer) {
        return nullptr;
    }

    static gboolean OnContextMenu(WebKitWebView*, WebKitContextMenu*, GdkEvent*,
                                  WebKitHitTestResult*, gpointer) {
        return TRUE;
    }

    static void OnLoadChanged(WebKitWebView*, WebKitLoadEvent event, gpointer data) {
        auto* self = static_cast<HtmlViewGtk*>(data);
        if (event == WEBKIT_LOAD_COMMITTED) {
            self->awaiting_page_ = false;
        } else if (event == WEBKIT_LOAD_FINISHED) {
            self->HandleMessage(false, [self] { self->OnPageLoaded(); });
        }
    }

    // The web process answers in the order it was asked: when this query has
    // its answer, the visibility calls sent before it have run.
    static void OnVisibilityApplied(GObject* view, GAsyncResult* result, gpointer data) {
        GError* error = nullptr;
        webkit_web_view_can_execute_editing_command_finish(WEBKIT_WEB_VIEW(view), result, &error);
        // A failed query means the run has ended and the view may be gone:
        // only an answered one may touch it.
        bool finished = error == nullptr;
        g_clear_error(&error);
        if (finished) {
            auto* self = static_cast<HtmlViewGtk*>(data);
            self->ShowDialog(self->web_view_);
        }
    }
};

// The engine's processes start and load the page before the window is made:
// the web process's start is the longest step before the page can be shown,
// and the window is built while it runs. The window still appears only with
// the finished page.
void HtmlViewGtk::StartEngine() {
    if (!DisplayOpen()) {
        return;  // no window: the run ends at once
    }
    look_ = CurrentWindowLook();
    // The view and its first load start the engine's processes.
    EngineStartEnvironment tuned_for_a_menu;
    WebKitUserContentManager* content_manager = webkit_user_content_manager_new();
    WebKitUserStyleSheet* style =
        webkit_user_style_sheet_new(kPageStyle, WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES,
                                    WEBKIT_USER_STYLE_LEVEL_USER, nullptr, nullptr);
    webkit_user_content_manager_add_style_sheet(content_manager, style);
    webkit_user_style_sheet_unref(style);
    web_view_ = webkit_web_view_new_with_user_content_manager(content_manager);
    g_object_unref(content_manager);

    WebKitSettings* settings = webkit_web_view_get_settings(WEBKIT_WEB_VIEW(web_view_));
    webkit_settings_set_hardware_acceleration_policy(settings,
                                                     WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
    webkit_settings_set_enable_developer_extras(settings, FALSE);
    webkit_settings_set_javascript_can_open_windows_automatically(settings, FALSE);
    GdkRGBA white{1, 1, 1, 1};
    webkit_web_view_set_background_color(WEBKIT_WEB_VIEW(web_view_), &white);
    // A link or file dropped on the page would become a navigation.
    gtk_drag_dest_unset(web_view_);

    g_signal_connect(web_view_, "decide-policy", G_CALLBACK(Callbacks::OnDecidePolicy), this);
    g_signal_connect(web_view_, "create", G_CALLBACK(Callbacks::OnCreate), this);
    g_signal_connect(web_view_, "context-menu", G_CALLBACK(Callbacks::OnContextMenu), this);
    g_signal_connect(web_view_, "load-changed", G_CALLBACK(Callbacks::OnLoadChanged), this);

    gtk_widget_set_size_request(web_view_, look_.browser_width, look_.browser_height);
    // The window holds the view from OnInitDialog on; the view is ours until then.
    g_object_ref_sink(web_view_);
    LoadPage();
}

void HtmlViewGtk::OnInitDialog() {
    SetFixedSize(look_.browser_width, look_.browser_height);
    gtk_box_pack_start(GTK_BOX(content()), web_view_, TRUE, TRUE, 0);
    gtk_widget_show(web_view_);

    if (icon_) {
        gtk_window_set_icon(GTK_WINDOW(DialogImpl::window()), icon_);
    }
    gtk_window_set_title(GTK_WINDOW(DialogImpl::window()), look_.title.ToUtf8().c_str());
}

void HtmlViewGtk::LoadPage() {
    gchar* folder = g_get_current_dir();
    gchar* folder_uri = g_filename_to_uri(folder, nullptr, nullptr);
    base_uri_ = folder_uri ? std::string(folder_uri) + "/" : std::string();
    g_free(folder_uri);
    g_free(folder);
    awaiting_page_ = true;
    std::string html = dialog_.page().ToUtf8();
    webkit_web_view_load_html(WEBKIT_WEB_VIEW(web_view_), html.c_str(),
                              base_uri_.empty() ? nullptr : base_uri_.c_str());
}

// The window is shown once the visibility calls have run. They are waited for
// with a question to the web process that has no script value for an answer:
// a script's result would start a script engine in this process, only to be
// thrown away.
void HtmlViewGtk::OnPageLoaded() {
    dialog_.RefreshVisibility();
    pending_show_ = g_cancellable_new();
    webkit_web_view_can_execute_editing_command(WEBKIT_WEB_VIEW(web_view_),
                                                WEBKIT_EDITING_COMMAND_COPY, pending_show_,
                                                Callbacks::OnVisibilityApplied, this);
}

// The arguments travel as values, never as script text (the engine takes no
// booleans: 0 or 1). The call ends by throwing, so the engine hands back no
// value: reading one would start a script engine in this process, megabytes
// for an answer nobody wants.
void HtmlViewGtk::SetObjectVisibility(const BaseString& element_id, bool visible) {
    GVariantDict arguments;
    g_variant_dict_init(&arguments, nullptr);
    g_variant_dict_insert(&arguments, "id", "s", element_id.ToUtf8().c_str());
    g_variant_dict_insert(&arguments, "visible", "i", visible ? 1 : 0);
    webkit_web_view_call_async_javascript_function(
        WEBKIT_WEB_VIEW(web_view_), "SetObjectVisibility(id, visible !== 0); throw 0;", -1,
        g_variant_dict_end(&arguments), nullptr, nullptr, nullptr, nullptr, nullptr);
}

void HtmlViewGtk::BeginBusy() {
    GdkWindow* gdk_window = gtk_widget_get_window(DialogImpl::window());
    busy_previous_cursor_ = gdk_window_get_cursor(gdk_window);
    if (busy_previous_cursor_) {
        g_object_ref(busy_previous_cursor_);
    }
    GdkCursor* wait = gdk_cursor_new_from_name(gdk_window_get_display(gdk_window), "wait");
    gdk_window_set_cursor(gdk_window, wait);
    if (wait) {
        g_object_unref(wait);
    }
    gtk_widget_set_sensitive(web_view_, FALSE);
    gdk_display_flush(gdk_window_get_display(gdk_window));
}

void HtmlViewGtk::EndBusy() {
    gtk_widget_set_sensitive(web_view_, TRUE);
    gtk_widget_set_sensitive(DialogImpl::window(), TRUE);
    // Made insensitive, the view lost the window's keyboard focus; without it
    // back, the next Tab would only move focus into the view, and Return would
    // follow the link just followed once more.
    gtk_widget_grab_focus(web_view_);
    gdk_window_set_cursor(gtk_widget_get_window(DialogImpl::window()), busy_previous_cursor_);
    if (busy_previous_cursor_) {
        g_object_unref(busy_previous_cursor_);
        busy_previous_cursor_ = nullptr;
    }
}

}  // namespace

std::unique_ptr<HtmlView> CreateHtmlView(HtmlDialog& dialog) {
    return std::make_unique<HtmlViewGtk>(dialog);
}
