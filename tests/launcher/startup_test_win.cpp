#include <gtest/gtest.h>

#include "base/win.h"

#include <objbase.h>
#include <ole2.h>
#include <psapi.h>

#include <string>
#include <thread>

#include "error/error.h"
#include "io/file_system.h"
#include "launcher/com_support.h"
#include "launcher/critical_error_boxes_win.h"
#include "launcher/single_instance.h"
#include "launcher/window/browser_host_win.h"
#include "launcher/window/common_controls_win.h"
#include "launcher/window/window_search.h"
#include "test_support.h"

// The start of the launcher on Win32, before its page: COM, the common
// controls of its manifest, the lock of a launcher already running and
// finding its window.
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

// OLE, not COM alone: the page's clipboard and drag and drop work only with
// it. A thread with COM alone has no OLE clipboard to flush.
TEST(ComRecord, InitialisesOleForTheClipboardAndDragAndDrop) {
    std::thread thread([] {
        ASSERT_EQ(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
        EXPECT_TRUE(FAILED(::OleFlushClipboard()));
        ::CoUninitialize();

        EnsureComInitialized();
        EXPECT_EQ(::OleFlushClipboard(), S_OK);
        ReleaseComInitialization();
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

// The launcher's entry switches the system's "no disk" boxes off for the whole
// process, keeping the flags it was started with; the start that follows (COM
// and OLE, the browser control, file calls that switch the boxes off around
// themselves, on threads of their own) leaves the process's mode so.
TEST(CriticalErrorBoxes, AreOffForTheWholeProcessFromTheEntryOn) {
    UINT before = ::SetErrorMode(SEM_NOGPFAULTERRORBOX);
    SwitchOffCriticalErrorBoxes();
    EXPECT_EQ(::GetErrorMode(), static_cast<UINT>(SEM_NOGPFAULTERRORBOX | SEM_FAILCRITICALERRORS));
    EXPECT_EQ(::GetThreadErrorMode() & SEM_FAILCRITICALERRORS,
              static_cast<DWORD>(SEM_FAILCRITICALERRORS));
    std::thread start([] {
        EnsureComInitialized();
        InitCommonControls();
        ASSERT_TRUE(BrowserHost::RegisterWindowClass());
        HWND window = ::CreateWindowExW(0, BrowserHost::kWindowClass, L"", WS_POPUP, 0, 0, 100, 100,
                                        nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(window);
        EXPECT_EQ(BrowserHost::FromWindow(window)->CreateControl(L"about:blank"), S_OK);
        EXPECT_EQ(Io::FileSystem::GetEntryKind(BaseString(u"Z:\\no such folder\\autorun.xml")),
                  Io::FileSystem::EntryKind::kNone);
        ::DestroyWindow(window);
        ReleaseComInitialization();
        EXPECT_EQ(::GetErrorMode() & SEM_FAILCRITICALERRORS,
                  static_cast<UINT>(SEM_FAILCRITICALERRORS))
            << "for every thread";
    });
    start.join();
    EXPECT_EQ(::GetErrorMode(), static_cast<UINT>(SEM_NOGPFAULTERRORBOX | SEM_FAILCRITICALERRORS));
    ::SetErrorMode(before);
}

// A named mutex that nobody may open (an empty access list), as the mutex of
// an elevated launcher is for a launcher with the user's own rights.
class ForbiddenMutex {
public:
    explicit ForbiddenMutex(const wchar_t* name) {
        SECURITY_DESCRIPTOR descriptor;
        ::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
        ::InitializeAcl(&acl_, sizeof(acl_), ACL_REVISION);
        ::SetSecurityDescriptorDacl(&descriptor, TRUE, &acl_, FALSE);
        SECURITY_ATTRIBUTES attributes{sizeof(attributes), &descriptor, FALSE};
        mutex_ = ::CreateMutexW(&attributes, FALSE, name);
    }
    ~ForbiddenMutex() { ::CloseHandle(mutex_); }
    HANDLE get() const { return mutex_; }

private:
    ACL acl_;
    HANDLE mutex_;
};

TEST(SingleInstanceLock, AMutexThatMayNotBeOpenedIsAnotherInstance) {
    ForbiddenMutex elevated(L"orvella-test-elevated");
    ASSERT_TRUE(elevated.get());
    // What the second launcher meets.
    ASSERT_EQ(::CreateMutexW(nullptr, FALSE, L"orvella-test-elevated"), nullptr);
    ASSERT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));

    SingleInstanceLock second(u"orvella-test-elevated");
    EXPECT_TRUE(second.AnotherInstanceExists());
}

// Another kind of object under the name: no mutex can be made, and no
// launcher holds one.
TEST(SingleInstanceLock, ANameTakenByAnotherKindOfObjectIsNoInstance) {
    HANDLE event = ::CreateEventW(nullptr, TRUE, FALSE, L"orvella-test-event");
    ASSERT_TRUE(event);
    SingleInstanceLock lock(u"orvella-test-event");
    EXPECT_FALSE(lock.AnotherInstanceExists());
    ::CloseHandle(event);
}

// A dialog window of the title; the launcher's has the marker child that
// tells it from other programs' dialogs.
class DialogWindow {
public:
    DialogWindow(const wchar_t* title, bool marked) {
        window_ = ::CreateWindowExW(0, L"#32770", title,
                                    WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 200,
                                    100, nullptr, nullptr, nullptr, nullptr);
        if (marked) {
            ::CreateWindowExW(0, L"EDIT", L"Dravik:HidCt564", WS_CHILD, 0, 0, 1, 1, window_,
                              nullptr, nullptr, nullptr);
        }
    }
    ~DialogWindow() { ::DestroyWindow(window_); }
    HWND get() const { return window_; }

private:
    HWND window_;
};

TEST(WindowSearch, RestoresAndRaisesTheDialogWindowOfThatTitle) {
    DialogWindow other(L"Another window", true);
    DialogWindow launcher(L"Autorun (window search test)", true);
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

// Other vendors' menus are dialogs titled "Autorun" too: the one without the
// marker is passed over, even when it is the first that the system finds.
TEST(WindowSearch, PassesOverADialogOfTheSameTitleWithoutTheMarker) {
    constexpr wchar_t kTitle[] = L"Autorun (marker test)";
    DialogWindow launcher(kTitle, true);
    ::ShowWindow(launcher.get(), SW_SHOWMINIMIZED);
    {
        DialogWindow foreign(kTitle, false);
        ::ShowWindow(foreign.get(), SW_SHOW);
        ::SetWindowPos(foreign.get(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        ASSERT_EQ(::FindWindowW(L"#32770", kTitle), foreign.get());

        EXPECT_TRUE(BringWindowToFront(u"#32770", u"Autorun (marker test)"));
        EXPECT_FALSE(::IsIconic(launcher.get()));
        EXPECT_EQ(::GetForegroundWindow(), launcher.get());
    }
    ::DestroyWindow(launcher.get());
    DialogWindow alone(kTitle, false);
    EXPECT_FALSE(BringWindowToFront(u"#32770", u"Autorun (marker test)"));
}

}  // namespace
