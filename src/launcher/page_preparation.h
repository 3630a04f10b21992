#pragma once

#include <memory>

#include "launcher/page/medium_plugins.h"
#include "launcher/page/start_page.h"
#include "mt/thread.h"
#include "object/ref.h"

// The medium's plug-ins loaded and the page built on a thread of their own,
// while the starting thread loads the web engine and starts the window system.
// The thread inherits the starter's language and interrupt handling.
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
