#pragma once

#include <memory>

#include "launcher/page/medium_plugins.h"
#include "launcher/page/start_page.h"
#include "mt/thread.h"
#include "object/ref.h"

// The medium's plug-ins loaded and the page built. Where the web engine loads
// before the window, this happens on a thread of its own while the starting
// thread loads the engine and starts the window system; the thread inherits
// the starter's language and interrupt handling. Where the engine comes with
// the window, there is nothing to overlap: the page is prepared on the
// starting thread when asked for, so that the plug-ins' objects belong to the
// window's thread and its COM apartment.
class PagePreparation {
public:
    // What the preparation hands over. The page goes before the plug-ins: its
    // components come from them.
    struct Prepared {
        MediumPlugins plugins;
        std::unique_ptr<LauncherPage> page;
    };

    // Starts loading the plug-ins, then building the page with `build_page`.
    // Throws Error when the thread cannot be started.
    explicit PagePreparation(PageSource build_page);
    // Interrupts a preparation still running and waits for its end.
    ~PagePreparation();
    PagePreparation(const PagePreparation&) = delete;
    PagePreparation& operator=(const PagePreparation&) = delete;

    // Waits for the end of the preparation and hands over its result; throws
    // the Error that ended it.
    Prepared Join();

private:
    class Work;
    Ref<Work> work_;
    Ref<Mt::Thread> thread_;
};
