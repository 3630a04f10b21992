#include "dialog_driver_win.h"

#include <gtest/gtest.h>

#include <ocidl.h>

#include <thread>

#include "launcher/com_support.h"
#include "launcher/window/browser_host_win.h"
#include "launcher/window/html_dialog.h"
#include "window_match_win.h"

using Microsoft::WRL::ComPtr;

namespace {

constexpr UINT kTickMilliseconds = 10;
constexpr int kIdleTicksAllowed = 500;

struct Driver {
    std::vector<DialogStep> steps;
    size_t next = 0;
    int idle_ticks = 0;
};

thread_local Driver* g_driver = nullptr;

BOOL CALLBACK FindLauncherDialog(HWND window, LPARAM found) {
    if (::FindWindowExW(window, nullptr, BrowserHost::kWindowClass, nullptr)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

HWND LauncherDialog() {
    HWND found = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindLauncherDialog,
                        reinterpret_cast<LPARAM>(&found));
    return found;
}

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    Driver* driver = g_driver;
    if (!driver) {
        return;
    }
    if (driver->next < driver->steps.size()) {
        HWND dialog = LauncherDialog();
        if (dialog) {
            DialogStep& step = driver->steps[driver->next++];
            step(dialog);
        }
    } else if (++driver->idle_ticks == kIdleTicksAllowed) {
        ADD_FAILURE() << "the run did not end after its last step";
        ::PostQuitMessage(-1);
    }
}

struct ThreadWindowQuery {
    const wchar_t* window_class;
    const wchar_t* title;
    HWND found;
};

BOOL CALLBACK MatchThreadWindow(HWND window, LPARAM parameter) {
    auto* query = reinterpret_cast<ThreadWindowQuery*>(parameter);
    if (!HasClassAndTitle(window, query->window_class, query->title)) {
        return TRUE;
    }
    query->found = window;
    return FALSE;
}

}  // namespace

int32_t RunDialog(HtmlDialog& dialog, std::vector<DialogStep> steps) {
    Driver driver{std::move(steps)};
    g_driver = &driver;
    UINT_PTR timer = ::SetTimer(nullptr, 0, kTickMilliseconds, Tick);
    int32_t result = dialog.RunModal(nullptr);
    ::KillTimer(nullptr, timer);
    g_driver = nullptr;
    EXPECT_EQ(driver.next, driver.steps.size()) << "the run ended before its last step";
    return result;
}

void OnOwnThread(const std::function<void()>& test) {
    std::thread thread([&] {
        EnsureComInitialized();
        test();
        ReleaseComInitialization();
    });
    thread.join();
}

HWND HostWindow(HWND dialog) {
    return ::FindWindowExW(dialog, nullptr, BrowserHost::kWindowClass, nullptr);
}

ComPtr<IDispatch> EventSink(HWND dialog) {
    ComPtr<IConnectionPointContainer> container;
    ComPtr<IConnectionPoint> point;
    ComPtr<IEnumConnections> connections;
    BrowserHost* host = BrowserHost::FromWindow(HostWindow(dialog));
    if (!host || FAILED(host->QueryControl(IID_PPV_ARGS(&container))) ||
        FAILED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, &point)) ||
        FAILED(point->EnumConnections(&connections))) {
        ADD_FAILURE() << "the control has no event connection";
        return nullptr;
    }
    // Wine's enumerator hands the sinks out without a reference of their own,
    // so none is given back here (elsewhere that leaks one reference).
    ComPtr<IDispatch> sink;
    CONNECTDATA connection;
    while (connections->Next(1, &connection, nullptr) == S_OK) {
        if (!sink) {
            connection.pUnk->QueryInterface(IID_PPV_ARGS(&sink));
        }
    }
    EXPECT_TRUE(sink) << "no sink connected";
    return sink;
}

ComPtr<IWebBrowser2> Browser(HWND dialog) {
    ComPtr<IWebBrowser2> browser;
    BrowserHost* host = BrowserHost::FromWindow(HostWindow(dialog));
    if (host) {
        host->QueryControl(IID_PPV_ARGS(&browser));
    }
    return browser;
}

HWND ThreadWindow(const wchar_t* window_class, const wchar_t* title) {
    ThreadWindowQuery query{window_class, title, nullptr};
    ::EnumThreadWindows(::GetCurrentThreadId(), MatchThreadWindow,
                        reinterpret_cast<LPARAM>(&query));
    return query.found;
}
