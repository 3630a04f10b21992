#include <dlfcn.h>
#include <gtk/gtk.h>

#include <cstdio>
#include <cstdlib>

#include "error/error.h"
#include "launcher/texts.h"
#include "launcher/window/web_engine.h"

// Each function of GTK, GDK, Xlib and WebKitGTK that the window code calls is
// defined here under its own name as a jump through a slot of its own. The
// definitions are hidden: the program's own code binds to them at link time,
// and nothing loaded later (a plug-in, the libraries themselves) ever sees
// them. A slot points at its library's function once the library is loaded.

namespace {

[[noreturn]] void CalledBeforeLoading() {
    std::fputs("a function of the window system was called before it was loaded\n", stderr);
    std::abort();
}

}  // namespace

#if !defined(__x86_64__)
#error "the jumps to the window system's functions are written for x86-64"
#endif

// clang-format off
#define ORV_WINDOW_FUNCTION(name)                                           \
    extern "C" __attribute__((visibility("hidden"))) void* orv_slot_##name; \
    void* orv_slot_##name = reinterpret_cast<void*>(&CalledBeforeLoading);  \
    asm(".pushsection .text\n"                                              \
        ".p2align 4\n"                                                      \
        ".globl " #name "\n"                                                \
        ".hidden " #name "\n"                                               \
        ".type " #name ", @function\n"                                      \
        #name ":\n"                                                         \
        "endbr64\n"                                                         \
        "jmp *orv_slot_" #name "(%rip)\n"                                   \
        ".size " #name ", .-" #name "\n"                                    \
        ".popsection\n");
// clang-format on
#include "launcher/window/window_functions_posix.h"
#undef ORV_WINDOW_FUNCTION

namespace {

struct Slot {
    const char* name;
    void** target;
};

const Slot kSlots[] = {
#define ORV_WINDOW_FUNCTION(name) {#name, &orv_slot_##name},
#include "launcher/window/window_functions_posix.h"
#undef ORV_WINDOW_FUNCTION
};

// Loads a library for the whole program (its dependencies too) and points every
// slot it serves at its function.
bool LoadForProgram(const char* library) {
    if (!dlopen(library, RTLD_LAZY | RTLD_GLOBAL)) {
        return false;
    }
    for (const Slot& slot : kSlots) {
        if (*slot.target == reinterpret_cast<void*>(&CalledBeforeLoading)) {
            if (void* function = dlsym(RTLD_DEFAULT, slot.name)) {
                *slot.target = function;
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
// faster than one after the other.
void LoadWebEngine() {
    static const bool loaded = LoadForProgram("libwebkit2gtk-4.1.so.0");
    g_engine_loaded = loaded;
    if (!loaded) {
        throw Error(0, BaseString(LocalizedText(WebEngineMissingText)), true);
    }
}

void StartGtk() {
    if (!LoadWindowSystem()) {
        return;
    }
    gdk_set_allowed_backends("x11");
    gtk_init_check(nullptr, nullptr);
}
