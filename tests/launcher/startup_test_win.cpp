#include <gtest/gtest.h>

#include "base/win.h"

#include <objbase.h>
#include <psapi.h>

#include <string>
#include <thread>

#include "error/error.h"
#include "launcher/com_support.h"
#include "launcher/window/common_controls_win.h"
#include "launcher/window/window_search.h"
#include "test_support.h"

// The start of the launcher on Win32, before its page: COM, the common
// controls of its manifest, and finding the window of a launcher already
// running.
namespace {

bool ApartmentIsSingleThreaded() {
    APTTYPE type;
    APTTYPEQUALIFIER qualifier;
    return SUCCEEDED(::CoGetApartmentType(&type, &qualifier)) &&
           (type == APTTYPE_STA || type == APTTYPE_MAINSTA);
}

TEST(ComRecord, OnAThreadInTheMultithreadedApartmentTheStartFailsWithTheCoinitError) {
    Error failure;
    std::thread thread([&] {
        ASSERT_EQ(::CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        failure = ErrorOf(EnsureComInitialized);
        ReleaseComInitialization();
        ::CoUninitialize();
    });
    thread.join();
    ASSERT_TRUE(failure.IsSet());
    EXPECT_NE(failure.GetText().view().find(u"coinit(2) err 80010106"), std::u16string_view::npos)
        << Utf8(failure.GetText());
}

// S_FALSE: COM was there already. The record counts it all the same and
// balances it, leaving the earlier initialisation in place.
TEST(ComRecord, AnApartmentThatWasThereBeforeOutlivesTheRecord) {
    std::thread thread([] {
        ASSERT_EQ(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
        EnsureComInitialized();
        ReleaseComInitialization();
        EXPECT_TRUE(ApartmentIsSingleThreaded());
        ::CoUninitialize();
        EXPECT_FALSE(ApartmentIsSingleThreaded());
    });
    thread.join();
}

TEST(ComRecord, MakesTheThreadASingleThreadedApartmentUntilReleased) {
    std::thread thread([] {
        EXPECT_FALSE(ApartmentIsSingleThreaded());
        EnsureComInitialized();
        EXPECT_TRUE(ApartmentIsSingleThreaded());
        ReleaseComInitialization();
        EXPECT_FALSE(ApartmentIsSingleThreaded());
    });
    thread.join();
}

// This program carries the launcher's manifest, which names the common
// controls of version 6.
TEST(CommonControls, AreTheVersionThatTheExecutablesManifestNames) {
    InitCommonControls();
    HMODULE modules[512];
    DWORD bytes = 0;
    ASSERT_TRUE(::EnumProcessModules(::GetCurrentProcess(), modules, sizeof(modules), &bytes));
    std::wstring loaded;
    for (DWORD i = 0; i < bytes / sizeof(HMODULE); ++i) {
        wchar_t path[MAX_PATH];
        if (::GetModuleFileNameW(modules[i], path, MAX_PATH)) {
            loaded += path;
            loaded += L"\n";
        }
    }
    EXPECT_NE(loaded.find(L"common-controls"), std::wstring::npos)
        << "loaded:\n"
        << Utf8(BaseString(Utf16Ptr(loaded.c_str())));
}

class LauncherWindow {
public:
    explicit LauncherWindow(const wchar_t* title) {
        window_ = ::CreateWindowExW(0, L"#32770", title,
                                    WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 200,
                                    100, nullptr, nullptr, nullptr, nullptr);
    }
    ~LauncherWindow() { ::DestroyWindow(window_); }
    HWND get() const { return window_; }

private:
    HWND window_;
};

TEST(WindowSearch, RestoresAndRaisesTheDialogWindowOfThatTitle) {
    LauncherWindow other(L"Another window");
    LauncherWindow launcher(L"Autorun (window search test)");
    ASSERT_TRUE(launcher.get());
    ::ShowWindow(launcher.get(), SW_SHOWMINIMIZED);
    ::ShowWindow(other.get(), SW_SHOW);
    ASSERT_TRUE(::IsIconic(launcher.get()));

    EXPECT_TRUE(BringWindowToFront(u"#32770", u"Autorun (window search test)"));
    EXPECT_FALSE(::IsIconic(launcher.get()));
    EXPECT_EQ(::GetForegroundWindow(), launcher.get());

    EXPECT_FALSE(BringWindowToFront(u"#32770", u"No such title"));
    EXPECT_FALSE(BringWindowToFront(u"Edit", u"Autorun (window search test)"));
}

}  // namespace
