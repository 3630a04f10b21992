#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <memory>
#include <string>

#include "base/string.h"
#include "launcher/window/web_engine.h"
#include "launcher/window/window_search.h"

namespace {

constexpr long kIconicState = 3;
constexpr long kSourcePager = 2;
// Client windows are children of the root, or of a window manager's frame.
constexpr int kSearchDepth = 3;

struct DisplayCloser {
    void operator()(Display* display) const { XCloseDisplay(display); }
};

// A window found in the tree may be gone when it is asked about: such errors
// must not end the process.
int IgnoreXError(Display*, XErrorEvent*) {
    return 0;
}

struct WindowQuery {
    Display* display;
    std::string window_class;
    std::string title;
    Atom net_wm_name;
    Atom utf8_string;
};

std::string Utf8Property(const WindowQuery& query, Window window) {
    Atom type;
    int format;
    unsigned long count, remaining;
    unsigned char* data = nullptr;
    std::string text;
    if (XGetWindowProperty(query.display, window, query.net_wm_name, 0, 1024, False,
                           query.utf8_string, &type, &format, &count, &remaining,
                           &data) == Success &&
        data) {
        if (type == query.utf8_string && format == 8) {
            text.assign(reinterpret_cast<char*>(data), count);
        }
        XFree(data);
    }
    return text;
}

// A client window (one with a class hint) is a candidate; other windows are
// frames or containers to look into.
Window FindClientWindow(const WindowQuery& query, Window parent, int depth) {
    Window root, grandparent;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(query.display, parent, &root, &grandparent, &children, &count)) {
        return None;
    }
    Window found = None;
    for (unsigned int i = count; i-- > 0 && found == None;) {
        Window window = children[i];
        XClassHint hint{};
        if (XGetClassHint(query.display, window, &hint)) {
            bool match = hint.res_class && query.window_class == hint.res_class &&
                         Utf8Property(query, window) == query.title;
            XFree(hint.res_name);
            XFree(hint.res_class);
            if (match) {
                found = window;
            }
        } else if (depth > 0) {
            found = FindClientWindow(query, window, depth - 1);
        }
    }
    if (children) {
        XFree(children);
    }
    return found;
}

bool IsIconic(Display* display, Window window) {
    Atom wm_state = XInternAtom(display, "WM_STATE", False);
    Atom type;
    int format;
    unsigned long count, remaining;
    unsigned char* data = nullptr;
    bool iconic = false;
    if (XGetWindowProperty(display, window, wm_state, 0, 2, False, wm_state, &type, &format, &count,
                           &remaining, &data) == Success &&
        data) {
        iconic = format == 32 && count >= 1 && reinterpret_cast<long*>(data)[0] == kIconicState;
        XFree(data);
    }
    return iconic;
}

// Asks the window manager to activate the window (raise, focus, de-iconify).
void RequestActivation(Display* display, Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = kSourcePager;
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, DefaultRootWindow(display), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

}  // namespace

bool BringWindowToFront(std::u16string_view window_class, std::u16string_view title) {
    if (!LoadWindowSystem()) {
        return false;
    }
    std::unique_ptr<Display, DisplayCloser> display(XOpenDisplay(nullptr));
    if (!display) {
        return false;
    }
    XErrorHandler previous_handler = XSetErrorHandler(IgnoreXError);
    WindowQuery query{display.get(), BaseString(window_class).ToUtf8(), BaseString(title).ToUtf8(),
                      XInternAtom(display.get(), "_NET_WM_NAME", False),
                      XInternAtom(display.get(), "UTF8_STRING", False)};
    Window window = FindClientWindow(query, DefaultRootWindow(display.get()), kSearchDepth);
    if (window != None) {
        if (IsIconic(display.get(), window)) {
            XMapWindow(display.get(), window);
        }
        XRaiseWindow(display.get(), window);
        RequestActivation(display.get(), window);
    }
    XSync(display.get(), False);
    XSetErrorHandler(previous_handler);
    return window != None;
}
