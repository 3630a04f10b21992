#pragma once

// The window system made ready for the launcher's dialog, and put back at the
// end of the run: one implementation per platform, so that the entry reads
// the same on both.
//
// Linux: WebKitGTK loaded (it brings GTK and Xlib) and GTK started on its X11
// backend. Windows: the common controls of the executable's manifest, COM on
// the thread, and the launcher listed in the browser's enhanced-security zone
// map while its dialog runs.
class WindowSystemStartup {
public:
    // Whether Start loads the web engine, which takes a while: only then is the
    // page prepared meanwhile on a thread of its own (Linux). On Windows the
    // browser control comes with the dialog.
    static bool LoadsWebEngine();

    WindowSystemStartup() = default;
    // Puts back what Start and BeforeDialog did, also after a failed start;
    // the launcher keeps the object until its failure has been shown.
    ~WindowSystemStartup();
    WindowSystemStartup(const WindowSystemStartup&) = delete;
    WindowSystemStartup& operator=(const WindowSystemStartup&) = delete;

    // Before the page is needed. Throws Error when the web engine is not on
    // the machine (Linux) or COM cannot be initialised (Windows); the window
    // system itself starting without a display is no error.
    void Start();
    // After the page is built, just before the dialog.
    void BeforeDialog();
};
