#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo.h>
#include <dlfcn.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "error/error.h"
#include "launcher/texts.h"
#include "launcher/window/web_engine.h"

// Each function of GTK, GDK, Xlib and WebKitGTK that the window code calls is
// defined here under its own name, with its own type, as a call through a slot
// of its own. The definitions are hidden: the program's own code binds to them
// at link time, and nothing loaded later (a plug-in, the libraries themselves)
// ever sees them. A slot points at its library's function once the library is
// loaded.

namespace {

[[noreturn]] void CalledBeforeLoading() {
    std::fputs("a function of the window system was called before it was loaded\n", stderr);
    std::abort();
}

// A slot for each function of the list, by its place in the list, with the
// function's name to look it up by.
enum SlotIndex {
#define ORV_WINDOW_FUNCTION(result, name, ...) kSlotOf_##name,
#define ORV_WINDOW_PRINTF_FUNCTION ORV_WINDOW_FUNCTION
#include "launcher/window/window_functions_posix.h"
#undef ORV_WINDOW_PRINTF_FUNCTION
#undef ORV_WINDOW_FUNCTION
    kSlotCount
};

constexpr const char* kSlotNames[kSlotCount] = {
#define ORV_WINDOW_FUNCTION(result, name, ...) #name,
#define ORV_WINDOW_PRINTF_FUNCTION ORV_WINDOW_FUNCTION
#include "launcher/window/window_functions_posix.h"
#undef ORV_WINDOW_PRINTF_FUNCTION
#undef ORV_WINDOW_FUNCTION
};

void* g_slots[kSlotCount] = {
#define ORV_WINDOW_FUNCTION(result, name, ...) reinterpret_cast<void*>(&CalledBeforeLoading),
#define ORV_WINDOW_PRINTF_FUNCTION ORV_WINDOW_FUNCTION
#include "launcher/window/window_functions_posix.h"
#undef ORV_WINDOW_PRINTF_FUNCTION
#undef ORV_WINDOW_FUNCTION
};

template <typename Function>
Function* SlotFunction(SlotIndex index) {
    return reinterpret_cast<Function*>(g_slots[index]);
}

}  // namespace

// clang-format off
// The parameter list "T1 p1, T2 p2, ..." of up to twelve parameter types, and
// the argument list "p1, p2, ..." that passes them on.
#define ORV_PICK(_1, _2, _3, _4, _5, _6, _7, _8, _9, _10, _11, _12, picked, ...) picked
#define ORV_PARAMETERS(...) \
    ORV_PICK(__VA_ARGS__ __VA_OPT__(,) ORV_P12, ORV_P11, ORV_P10, ORV_P9, ORV_P8, ORV_P7, ORV_P6, \
             ORV_P5, ORV_P4, ORV_P3, ORV_P2, ORV_P1, ORV_P0)(__VA_ARGS__)
#define ORV_ARGUMENTS(...) \
    ORV_PICK(__VA_ARGS__ __VA_OPT__(,) ORV_A12, ORV_A11, ORV_A10, ORV_A9, ORV_A8, ORV_A7, ORV_A6, \
             ORV_A5, ORV_A4, ORV_A3, ORV_A2, ORV_A1, ORV_A0)
#define ORV_P0()
#define ORV_P1(a) a p1
#define ORV_P2(a, b) ORV_P1(a), b p2
#define ORV_P3(a, b, c) ORV_P2(a, b), c p3
#define ORV_P4(a, b, c, d) ORV_P3(a, b, c), d p4
#define ORV_P5(a, b, c, d, e) ORV_P4(a, b, c, d), e p5
#define ORV_P6(a, b, c, d, e, f) ORV_P5(a, b, c, d, e), f p6
#define ORV_P7(a, b, c, d, e, f, g) ORV_P6(a, b, c, d, e, f), g p7
#define ORV_P8(a, b, c, d, e, f, g, h) ORV_P7(a, b, c, d, e, f, g), h p8
#define ORV_P9(a, b, c, d, e, f, g, h, i) ORV_P8(a, b, c, d, e, f, g, h), i p9
#define ORV_P10(a, b, c, d, e, f, g, h, i, j) ORV_P9(a, b, c, d, e, f, g, h, i), j p10
#define ORV_P11(a, b, c, d, e, f, g, h, i, j, k) ORV_P10(a, b, c, d, e, f, g, h, i, j), k p11
#define ORV_P12(a, b, c, d, e, f, g, h, i, j, k, l) ORV_P11(a, b, c, d, e, f, g, h, i, j, k), l p12
#define ORV_A0
#define ORV_A1 p1
#define ORV_A2 ORV_A1, p2
#define ORV_A3 ORV_A2, p3
#define ORV_A4 ORV_A3, p4
#define ORV_A5 ORV_A4, p5
#define ORV_A6 ORV_A5, p6
#define ORV_A7 ORV_A6, p7
#define ORV_A8 ORV_A7, p8
#define ORV_A9 ORV_A8, p9
#define ORV_A10 ORV_A9, p10
#define ORV_A11 ORV_A10, p11
#define ORV_A12 ORV_A11, p12

// The stub is declared under a name of its own and takes the function's name
// as its symbol, so that it is checked against the header's declaration
// instead of redeclaring it: a function listed with other types than its
// header declares does not convert to a pointer to its stub.
#define ORV_STUB_DECLARATION(result, name, ...)                                        \
    extern "C" __attribute__((visibility("hidden"))) result orv_stub_##name(__VA_ARGS__) \
        __asm__(#name);                                                                \
    [[maybe_unused]] constexpr decltype(&orv_stub_##name) orv_declared_##name = &name;

#define ORV_WINDOW_FUNCTION(result, name, ...)                                  \
    ORV_STUB_DECLARATION(result, name, ORV_PARAMETERS(__VA_ARGS__))             \
    result orv_stub_##name(ORV_PARAMETERS(__VA_ARGS__)) {                       \
        return SlotFunction<decltype(orv_stub_##name)>(kSlotOf_##name)(         \
            ORV_ARGUMENTS(__VA_ARGS__));                                        \
    }

// A variable argument list cannot be passed on: the stub formats the text with
// GLib's printf, which the libraries use too, and passes it on as "%s".
#define ORV_WINDOW_PRINTF_FUNCTION(result, name, ...)                                     \
    ORV_STUB_DECLARATION(result, name,                                                    \
                         ORV_PARAMETERS(__VA_ARGS__) __VA_OPT__(,) const gchar* format, ...) \
    result orv_stub_##name(ORV_PARAMETERS(__VA_ARGS__) __VA_OPT__(,) const gchar* format, ...) { \
        gchar* text = nullptr;                                                            \
        if (format) {                                                                     \
            va_list arguments;                                                            \
            va_start(arguments, format);                                                  \
            text = g_strdup_vprintf(format, arguments);                                   \
            va_end(arguments);                                                            \
        }                                                                                 \
        result value = SlotFunction<decltype(orv_stub_##name)>(kSlotOf_##name)(           \
            ORV_ARGUMENTS(__VA_ARGS__) __VA_OPT__(,) text ? "%s" : nullptr, text);        \
        g_free(text);                                                                     \
        return value;                                                                     \
    }
// clang-format on

#include "launcher/window/window_functions_posix.h"
#undef ORV_WINDOW_PRINTF_FUNCTION
#undef ORV_WINDOW_FUNCTION

namespace {

// Loads a library for the whole program (its dependencies too) and points every
// slot it serves at its function.
bool LoadForProgram(const char* library) {
    if (!dlopen(library, RTLD_LAZY | RTLD_GLOBAL)) {
        return false;
    }
    for (int index = 0; index < kSlotCount; ++index) {
        if (g_slots[index] == reinterpret_cast<void*>(&CalledBeforeLoading)) {
            if (void* function = dlsym(RTLD_DEFAULT, kSlotNames[index])) {
                g_slots[index] = function;
            }
        }
    }
    return true;
}

bool g_engine_loaded = false;

}  // namespace

bool LoadWindowSystem() {
    // GTK brings GDK, GdkPixbuf, Cairo and Xlib with it.
    static const bool loaded = g_engine_loaded || LoadForProgram("libgtk-3.so.0");
    return loaded;
}

// WebKitGTK brings the window system with it: loaded in one go, the two load
// faster than one after the other. Its API 4.0 (on libsoup 2) has every
// function the window code calls with the same types as 4.1 (on libsoup 3),
// and is still the only one on some systems: it serves where 4.1 is missing.
// The two never meet in one process: a failed load leaves nothing loaded.
void LoadWebEngine() {
    static const bool loaded =
        LoadForProgram("libwebkit2gtk-4.1.so.0") || LoadForProgram("libwebkit2gtk-4.0.so.37");
    g_engine_loaded = loaded;
    if (!loaded) {
        throw Error(0, BaseString(LocalizedText(WebEngineMissingText)), true);
    }
    // An engine older than the newest function the window code calls lacks
    // it; found before the first call, which would end the program.
    bool complete = true;
    for (int index = 0; index < kSlotCount; ++index) {
        complete = complete && g_slots[index] != reinterpret_cast<void*>(&CalledBeforeLoading);
    }
    const bool versioned =
        g_slots[kSlotOf_webkit_get_minor_version] != reinterpret_cast<void*>(&CalledBeforeLoading);
    const unsigned major = versioned ? webkit_get_major_version() : 0;
    const unsigned minor = versioned ? webkit_get_minor_version() : 0;
    if (!complete || major < kOldestWebKitMajor ||
        (major == kOldestWebKitMajor && minor < kOldestWebKitMinor)) {
        char found[48] = "?";
        if (versioned) {
            std::snprintf(found, sizeof found, "%u.%u.%u", major, minor,
                          webkit_get_micro_version());
        }
        char needed[24];
        std::snprintf(needed, sizeof needed, "%u.%u", kOldestWebKitMajor, kOldestWebKitMinor);
        const BaseString found_text = BaseString::FromUtf8(found);
        const BaseString needed_text = BaseString::FromUtf8(needed);
        throw Error(0,
                    FillMessage(LocalizedText(WebEngineTooOldText),
                                {found_text.view(), needed_text.view()}),
                    true);
    }
}

void StartGtk() {
    if (!LoadWindowSystem()) {
        return;
    }
    gdk_set_allowed_backends("x11");
    gtk_init_check(nullptr, nullptr);
}
