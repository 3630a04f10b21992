// autorun-preview: pictures of the page the launcher shows, one per language,
// for autorun-page --preview.
//
//   autorun-preview [--assume CLASS=shown|hidden]... XXXX=FILE.png...
//   autorun-preview --version
//
// Run in a medium's folder with a display. For each language (four
// hexadecimal digits, as the registry value LangId takes them) it builds the
// page as the launcher does and shows it in the launcher's own window, hidden
// until the page has loaded and its bound elements' visibility is applied
// (the medium's plug-ins are loaded as the launcher loads them);
// when the window appears, the web view's picture is saved as PNG and the
// window is closed. An assumed class is served before the plug-ins by a page
// extension that shows or hides its elements as told. Exit 0 when every picture was saved;
// otherwise the reason on standard error and 1.
#include <cairo.h>
#include <gtk/gtk.h>
#include <unistd.h>
#include <webkit2/webkit2.h>

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/platform.h"
#include "error/error.h"
#include "launcher/page/assumed_visibility.h"
#include "launcher/page/medium_plugins.h"
#include "launcher/page/page_language.h"
#include "launcher/page/property_sheet_extension.h"
#include "launcher/page/start_page.h"
#include "launcher/texts.h"
#include "launcher/window/html_dialog.h"
#include "launcher/window/web_engine.h"
#include "nls/language_choice.h"
#include "object/factory.h"
#include "object/manager.h"
#include "object/system.h"

namespace {

// A page that has not loaded by then never will.
constexpr unsigned kPageSeconds = 60;
constexpr unsigned kRetryMilliseconds = 20;

struct Picture {
    uint32_t language;
    std::string file;
};

std::optional<Picture> ParsePicture(std::string_view argument) {
    if (argument.find('=') != 4 || argument.size() == 5) {
        return std::nullopt;
    }
    uint32_t language = Nls::ParseLanguageId(BaseString::FromUtf8(argument.substr(0, 4)).view());
    if (language == 0) {
        return std::nullopt;
    }
    return Picture{language, std::string(argument.substr(5))};
}

// The elements of an assumed class: shown or hidden, whatever the medium says.
class AssumedExtension final : public Object::Impl<AssumedExtension, Gui::PropertySheetExtension> {
public:
    explicit AssumedExtension(bool shown) : shown_(shown) {}

    void Execute(WindowHandle) override {}
    uint32_t IsVisible() override { return shown_ ? 1 : 0; }

private:
    bool shown_;
};

class AssumedClasses {
public:
    explicit AssumedClasses(AssumedVisibility assumed) : assumed_(std::move(assumed)) {}

    void Describe(std::vector<Object::ClassRecord>& records) {
        for (const auto& [clsid, shown] : assumed_) {
            records.push_back({clsid, AssumedExtension::InterfaceIds()});
        }
    }
    Ref<BaseFace> Create(const BaseString& clsid) {
        auto found = assumed_.find(clsid);
        if (found == assumed_.end()) {
            return {};
        }
        return Ref<BaseFace>::Adopt(AsBaseFace(new AssumedExtension(found->second)));
    }

private:
    AssumedVisibility assumed_;
};

// The launcher that sits beside this program: the path macros name it.
BaseString LauncherPath() {
    return BaseString(Base::FolderOf(Base::ExecutablePath())) + u"autorun";
}

WebKitWebView* FindWebView(GtkWidget* widget) {
    if (WEBKIT_IS_WEB_VIEW(widget)) {
        return WEBKIT_WEB_VIEW(widget);
    }
    if (!GTK_IS_CONTAINER(widget)) {
        return nullptr;
    }
    WebKitWebView* found = nullptr;
    GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
    for (GList* child = children; child && !found; child = child->next) {
        found = FindWebView(GTK_WIDGET(child->data));
    }
    g_list_free(children);
    return found;
}

// The picture being taken: its file, the launcher's window once it shows the
// page, and whether the picture was saved.
struct Shot {
    const char* file = nullptr;
    GtkWindow* window = nullptr;
    WebKitWebView* view = nullptr;
    bool saved = false;
};

void TakeSnapshot(Shot* shot);

// The view's size reaches the engine a little after the window appears, and
// a picture taken before shows the page laid out for the size it had before:
// such a picture is taken again.
void OnSnapshot(GObject*, GAsyncResult* result, gpointer data) {
    auto* shot = static_cast<Shot*>(data);
    GError* error = nullptr;
    cairo_surface_t* surface = webkit_web_view_get_snapshot_finish(shot->view, result, &error);
    g_clear_error(&error);
    if (!surface) {
        gtk_window_close(shot->window);  // ends the dialog's run as closing does
        return;
    }
    int width = 0, height = 0;
    gtk_widget_get_size_request(GTK_WIDGET(shot->view), &width, &height);
    if (cairo_image_surface_get_width(surface) != width ||
        cairo_image_surface_get_height(surface) != height) {
        cairo_surface_destroy(surface);
        g_timeout_add(
            kRetryMilliseconds,
            [](gpointer again) -> gboolean {
                TakeSnapshot(static_cast<Shot*>(again));
                return G_SOURCE_REMOVE;
            },
            shot);
        return;
    }
    shot->saved = cairo_surface_write_to_png(surface, shot->file) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    gtk_window_close(shot->window);
}

void TakeSnapshot(Shot* shot) {
    webkit_web_view_get_snapshot(shot->view, WEBKIT_SNAPSHOT_REGION_VISIBLE,
                                 WEBKIT_SNAPSHOT_OPTIONS_NONE, nullptr, OnSnapshot, shot);
}

// The launcher's window shows itself only when the page is ready: that is the
// moment of the picture. Other windows (none are expected) are left alone.
// The window lets the pointer through, so that a pointer that happens to be
// where it appears marks no link on the picture.
gboolean OnMap(GSignalInvocationHint*, guint, const GValue* values, gpointer data) {
    auto* shot = static_cast<Shot*>(data);
    auto* widget = static_cast<GtkWidget*>(g_value_get_object(&values[0]));
    WebKitWebView* view = GTK_IS_WINDOW(widget) ? FindWebView(widget) : nullptr;
    if (view && !shot->window) {
        cairo_region_t* nowhere = cairo_region_create();
        gdk_window_input_shape_combine_region(gtk_widget_get_window(widget), nowhere, 0, 0);
        cairo_region_destroy(nowhere);
        shot->window = GTK_WINDOW(widget);
        shot->view = view;
        TakeSnapshot(shot);
    }
    return TRUE;
}

// A page that never finishes loading ends the program instead of hanging it.
gboolean OnPageTimeout(gpointer) {
    std::fputs("autorun-preview: the page did not finish loading\n", stderr);
    std::fflush(stderr);
    _exit(1);
}

// Builds the page in the language and takes its picture; throws Error when the
// page cannot be built.
bool TakePicture(const Picture& picture) {
    MakeLanguageCurrentAsLangId(picture.language);
    std::unique_ptr<StartPage> page = StartPage::Build(LauncherPath());
    Shot shot;
    shot.file = picture.file.c_str();
    guint map = g_signal_lookup("map", GTK_TYPE_WIDGET);
    gulong hook = g_signal_add_emission_hook(map, 0, OnMap, &shot, nullptr);
    guint timeout = g_timeout_add_seconds(kPageSeconds, OnPageTimeout, nullptr);
    {
        HtmlDialog dialog;
        dialog.SetPage(page->text(), page->visibility());
        dialog.RunModal(nullptr);
    }
    g_source_remove(timeout);
    g_signal_remove_emission_hook(map, hook);
    return shot.saved;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string_view(argv[1]) == "--version") {
        std::fputs("autorun-preview " ORV_VERSION "\n", stdout);
        return 0;
    }
    std::vector<Picture> pictures;
    AssumedVisibility assumed;
    for (int i = 1; i < argc; ++i) {
        std::string_view argument = argv[i];
        std::optional<Picture> picture = ParsePicture(argument);
        bool assumption = argument == "--assume" && i + 1 < argc;
        if (assumption ? !ParseAssumption(argv[++i], assumed) : !picture) {
            std::fputs(
                "usage: autorun-preview [--assume CLASS=shown|hidden]... XXXX=FILE.png...\n"
                "       autorun-preview --version\n",
                stderr);
            return 2;
        }
        if (picture) {
            pictures.push_back(*picture);
        }
    }
    try {
        Object::ModuleStart();
        LoadWebEngine();
        StartGtk();
        if (!gdk_display_get_default()) {
            std::fputs("autorun-preview: no display\n", stderr);
            return 1;
        }
        // The bound elements are shown as assumed, or else as the medium's page
        // extensions decide: the first factory that serves a class makes it.
        // The manager holds factories weakly: this one lives for the run.
        Ref<Object::Factory> assumptions =
            Object::New<Object::FactoryImpl<AssumedClasses>>(std::move(assumed));
        Object::GetManager()->AddFactory(assumptions);
        MediumPlugins plugins = MediumPlugins::Load();
        for (const Picture& picture : pictures) {
            if (!TakePicture(picture)) {
                std::fprintf(stderr, "autorun-preview: %s could not be written\n",
                             picture.file.c_str());
                return 1;
            }
        }
        return 0;
    } catch (Error& error) {
        error.Add(ErrContext, BaseString(LocalizedText(InitFailedText)), false);
        std::fputs((error.GetText().ToUtf8() + "\n").c_str(), stderr);
        return 1;
    }
}
