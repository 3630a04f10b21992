#include <gtest/gtest.h>

#include "base/win.h"

#include <aclapi.h>
#include <psapi.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include "launcher_executable_win.h"
#include "temp_folder.h"
#include "test_support.h"
#include "window_match_win.h"

// autorun.exe end to end under Wine on its X11 driver (in Xvfb), in a Wine
// prefix of its own: started on a copy of the demo medium, as a medium's
// launcher is started, and reached from here through the window system as the
// shell and the product's other programs reach it. Wine has no HTML engine:
// the window is made, sized and run, but its page never completes, so it
// stays hidden.
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr wchar_t kDialogClass[] = L"#32770";
constexpr DWORD kStartTimeout = 60000;
constexpr wchar_t kListing[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\ZoneMap\\EscDomains\\"
    L"security_autorun.exe";
constexpr wchar_t kLauncherDefaults[] = L"Software\\Wine\\AppDefaults\\autorun.exe";
constexpr wchar_t kProductSettings[] = L"SOFTWARE\\Orvella";

// A path of the Linux side as Wine's drive Z: shows it.
fs::path FromUnix(const char* path) {
    std::wstring windows = L"Z:";
    for (const char* c = path; *c; ++c) {
        windows += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
    }
    return fs::path(windows);
}

// The demo medium with the launcher beside its files, in a fresh folder.
class Medium {
public:
    // (File by file: the runtime's recursive copy copies nothing here.)
    Medium() {
        fs::path demo = FromUnix(DEMO_MEDIUM_DIR);
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(demo)) {
            fs::path copy = folder_.Native(fs::relative(entry.path(), demo).u16string());
            if (entry.is_directory()) {
                fs::create_directories(copy);
            } else {
                fs::copy_file(entry.path(), copy);
            }
        }
        // With the DLLs beside it: the C++ runtime of a launcher that shares
        // it with plug-ins.
        fs::path launcher = LauncherExecutable();
        fs::copy_file(launcher, folder_.Native(u"autorun.exe"));
        for (const fs::directory_entry& entry : fs::directory_iterator(launcher.parent_path())) {
            if (entry.path().extension() == L".dll") {
                fs::copy_file(entry.path(), folder_.Native(entry.path().filename().u16string()));
            }
        }
    }
    fs::path Path(std::u16string_view name = u"") const { return folder_.Native(name); }
    void Remove(std::u16string_view name) const { fs::remove(folder_.Native(name)); }
    // A plug-in library of this build into the medium's rsc/plugins/.
    void AddPlugin(const char* built) const {
        fs::path file = FromUnix(built);
        fs::create_directories(folder_.Native(u"rsc/plugins"));
        fs::copy_file(file, Path(u"rsc/plugins") / file.filename());
    }

private:
    TempFolder folder_;
};

struct WindowQuery {
    DWORD process;
    const wchar_t* window_class;
    const wchar_t* title;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter) {
    auto* query = reinterpret_cast<WindowQuery*>(parameter);
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    if (process != query->process || !HasClassAndTitle(window, query->window_class, query->title)) {
        return TRUE;
    }
    query->found = window;
    return FALSE;
}

BOOL CALLBACK DescribeWindow(HWND window, LPARAM parameter) {
    auto* query = reinterpret_cast<std::pair<DWORD, std::wstring>*>(parameter);
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    if (process == query->first) {
        wchar_t window_class[256] = {}, title[256] = {};
        ::GetClassNameW(window, window_class, 256);
        ::GetWindowTextW(window, title, 256);
        // A message box's text, if it is one.
        wchar_t text[1024] = {};
        ::GetDlgItemTextW(window, 0xFFFF, text, 1024);
        query->second += std::wstring(L" [") + window_class + L" \"" + title + L"\" " + text + L"]";
    }
    return TRUE;
}

// One start of autorun.exe in the medium's folder, ended when this goes if it
// still runs.
class Launcher {
public:
    explicit Launcher(const Medium& medium) {
        std::wstring program = medium.Path(u"autorun.exe").wstring();
        std::wstring command = L"\"" + program + L"\"";
        std::wstring folder = medium.Path().wstring();
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        started_ = ::CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0,
                                    nullptr, folder.c_str(), &startup, &process_);
        EXPECT_TRUE(started_) << ::GetLastError();
    }
    ~Launcher() {
        if (!started_) {
            return;
        }
        if (::WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
            ::TerminateProcess(process_.hProcess, 99);
            ::WaitForSingleObject(process_.hProcess, kStartTimeout);
        }
        ::CloseHandle(process_.hThread);
        ::CloseHandle(process_.hProcess);
    }
    Launcher(const Launcher&) = delete;
    Launcher& operator=(const Launcher&) = delete;

    // Its top-level windows, for failure messages.
    std::string Windows() const {
        std::pair<DWORD, std::wstring> query{process_.dwProcessId, L"windows:"};
        ::EnumWindows(DescribeWindow, reinterpret_cast<LPARAM>(&query));
        return Utf8(BaseString(Utf16Ptr(query.second.c_str())));
    }

    // Whether it has a module of that file name loaded.
    bool HasModule(const wchar_t* file_name) const {
        HMODULE modules[512];
        DWORD size = 0;
        if (!::EnumProcessModules(process_.hProcess, modules, sizeof(modules), &size)) {
            return false;
        }
        for (DWORD i = 0; i < size / sizeof(HMODULE) && i < 512; ++i) {
            wchar_t name[MAX_PATH] = {};
            ::GetModuleBaseNameW(process_.hProcess, modules[i], name, MAX_PATH);
            if (::lstrcmpiW(name, file_name) == 0) {
                return true;
            }
        }
        return false;
    }

    // The exit code; STILL_ACTIVE when it did not end in time.
    DWORD WaitForExit() const {
        DWORD code = STILL_ACTIVE;
        if (started_ && ::WaitForSingleObject(process_.hProcess, kStartTimeout) == WAIT_OBJECT_0) {
            ::GetExitCodeProcess(process_.hProcess, &code);
        }
        return code;
    }

    // Its top-level window of the class and title, once it has one; null when
    // none came in time or the process ended first.
    HWND WaitForWindow(const wchar_t* title, const wchar_t* window_class = kDialogClass) const {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartTimeout);
        while (started_ && std::chrono::steady_clock::now() < deadline) {
            WindowQuery query{process_.dwProcessId, window_class, title, nullptr};
            ::EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&query));
            if (query.found) {
                return query.found;
            }
            if (::WaitForSingleObject(process_.hProcess, 100) == WAIT_OBJECT_0) {
                return nullptr;
            }
        }
        return nullptr;
    }

private:
    bool started_ = false;
    PROCESS_INFORMATION process_{};
};

std::string Narrow(const std::wstring& text) {
    return Utf8(BaseString(Utf16Ptr(text.c_str())));
}

// A value of the current user's registry, or of the machine's 64-bit view.
void SetValue(HKEY root, const wchar_t* key_path, const wchar_t* name, DWORD type, const void* data,
              DWORD size) {
    HKEY key;
    ASSERT_EQ(::RegCreateKeyExW(root, key_path, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY,
                                nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(::RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
    ::RegCloseKey(key);
}

void SetText(HKEY root, const wchar_t* key_path, const wchar_t* name, const std::wstring& text) {
    SetValue(root, key_path, name, REG_SZ, text.c_str(),
             static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

// The key with all it holds, in the 64-bit view as SetValue writes it (a root
// key opened with KEY_WOW64_64KEY is still the caller's view).
void DeleteKey(HKEY root, const wchar_t* key_path) {
    HKEY key;
    if (::RegOpenKeyExW(root, key_path, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, &key) ==
        ERROR_SUCCESS) {
        ::RegDeleteTreeW(key, nullptr);
        ::RegCloseKey(key);
        ::RegDeleteKeyExW(root, key_path, KEY_WOW64_64KEY, 0);
    }
}

// The zone listing's "about" value: -1 without the key, -2 without the value.
long ListedZone() {
    HKEY key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kListing, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return -1;
    }
    DWORD zone = 0;
    DWORD size = sizeof(zone);
    LSTATUS status =
        ::RegGetValueW(key, nullptr, L"about", RRF_RT_REG_DWORD, nullptr, &zone, &size);
    ::RegCloseKey(key);
    return status == ERROR_SUCCESS ? static_cast<long>(zone) : -2;
}

// Wine's Windows version for autorun.exe while the test runs.
class WindowsVersion {
public:
    explicit WindowsVersion(const wchar_t* version) {
        SetText(HKEY_CURRENT_USER, kLauncherDefaults, L"Version", version);
    }
    ~WindowsVersion() { DeleteKey(HKEY_CURRENT_USER, kLauncherDefaults); }
};

// The product's language setting ("LangId") while the test runs.
class ForcedLanguage {
public:
    explicit ForcedLanguage(const wchar_t* language) {
        SetText(HKEY_LOCAL_MACHINE, kProductSettings, L"LangId", language);
    }
    ~ForcedLanguage() { DeleteKey(HKEY_LOCAL_MACHINE, kProductSettings); }
};

// The Wine prefix outlives a run: every test starts without the settings the
// tests make, whatever an earlier run that was cut short left.
class AutorunUnderWine : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteKey(HKEY_LOCAL_MACHINE, kProductSettings);
        DeleteKey(HKEY_CURRENT_USER, kLauncherDefaults);
    }
};

TEST_F(AutorunUnderWine, MakesItsDialogWithThePageAreaInsideAndEndsWith0OnEveryEnding) {
    auto broadcast = [](const wchar_t* name) {
        return
            [name](HWND) { ::PostMessageW(HWND_BROADCAST, ::RegisterWindowMessageW(name), 0, 0); };
    };
    struct Case {
        const char* name;
        std::function<void(HWND)> end;
    } cases[] = {
        {"Escape", [](HWND window) { ::PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0); }},
        {"closing", [](HWND window) { ::PostMessageW(window, WM_CLOSE, 0, 0); }},
        {"the end of the session",
         [](HWND window) { ::SendMessageW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF); }},
        {"the broadcast Tarnis::LogoffMessage", broadcast(L"Tarnis::LogoffMessage")},
        {"the broadcast Dravik::CancelDialog", broadcast(L"Dravik::CancelDialog")},
    };
    Medium medium;
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        Launcher launcher(medium);
        HWND window = launcher.WaitForWindow(L"Autorun");
        ASSERT_TRUE(window) << launcher.Windows();
        // The page's whole area inside the caption and the frame, the
        // browser's host over all of it.
        RECT client, host;
        ::GetClientRect(window, &client);
        EXPECT_EQ(client.right - client.left, 670);
        EXPECT_EQ(client.bottom - client.top, 490);
        HWND host_window = ::FindWindowExW(window, nullptr, L"OrvBrowserHost", nullptr);
        ASSERT_TRUE(host_window);
        ::GetWindowRect(host_window, &host);
        ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&host), 2);
        EXPECT_EQ(host.left, 0);
        EXPECT_EQ(host.top, 0);
        EXPECT_EQ(host.right, 670);
        EXPECT_EQ(host.bottom, 490);
        EXPECT_FALSE(::IsWindowVisible(window)) << "no page ever completes here";
        test.end(window);
        EXPECT_EQ(launcher.WaitForExit(), 0u);
        EXPECT_FALSE(::IsWindow(window));
    }
}

// The system's resolution for the programs started while the test runs, as
// Windows' display settings give it (Wine reads it when a program starts).
class ScreenDpi {
public:
    explicit ScreenDpi(DWORD dpi) {
        SetValue(HKEY_CURRENT_USER, kDesktop, L"LogPixels", REG_DWORD, &dpi, sizeof(dpi));
    }
    ~ScreenDpi() {
        HKEY key;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, kDesktop, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
            ::RegDeleteValueW(key, L"LogPixels");
            ::RegCloseKey(key);
        }
    }

private:
    static constexpr wchar_t kDesktop[] = L"Control Panel\\Desktop";
};

// At 150 % the launcher gives the page its size at 144 DPI and is centred on
// the screen's work area at that size. (Wine 8 stretches no window, aware or
// not: the manifest's part is read back with the resources.)
TEST_F(AutorunUnderWine, AtAHigherResolutionThePagesAreaIsScaledAndTheWindowCentred) {
    ScreenDpi dpi(144);
    Medium medium;
    Launcher launcher(medium);
    HWND window = launcher.WaitForWindow(L"Autorun");
    ASSERT_TRUE(window) << launcher.Windows();
    // Seen in pixels of the screen (this program has no manifest that says it
    // is aware of the DPI: its thread is made so).
    HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    using SetContextFunction = HANDLE(WINAPI*)(HANDLE);
    auto set_context = reinterpret_cast<SetContextFunction>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "SetThreadDpiAwarenessContext")));
    ASSERT_TRUE(set_context);
    const auto kPerMonitorAware = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-3));
    HANDLE previous = set_context(kPerMonitorAware);
    RECT client, outer;
    ::GetClientRect(window, &client);
    EXPECT_EQ(client.right - client.left, 1005);
    EXPECT_EQ(client.bottom - client.top, 735);
    ::GetWindowRect(window, &outer);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    ASSERT_TRUE(::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor));
    const RECT& work = monitor.rcWork;
    EXPECT_LE(std::abs((outer.left - work.left) - (work.right - outer.right)), 1);
    EXPECT_LE(std::abs((outer.top - work.top) - (work.bottom - outer.bottom)), 1);
    set_context(previous);
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(launcher.WaitForExit(), 0u);
}

// The sample page extensions in the medium's rsc/plugins/: the launcher loads
// them before it builds its page, so they are there once its window is.
TEST_F(AutorunUnderWine, LoadsThePlugInsOfTheMediumBeforeItsWindow) {
    Medium medium;
    medium.AddPlugin(SAMPLE_PLUGIN);
    Launcher launcher(medium);
    HWND window = launcher.WaitForWindow(L"Autorun");
    ASSERT_TRUE(window) << launcher.Windows();
    EXPECT_TRUE(launcher.HasModule(L"orvella_pages.dll"));
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(launcher.WaitForExit(), 0u);
}

TEST_F(AutorunUnderWine, ASecondStartExitsWith1AndRestoresAndRaisesTheFirstWindow) {
    Medium medium;
    Launcher first(medium);
    HWND window = first.WaitForWindow(L"Autorun");
    ASSERT_TRUE(window) << first.Windows();
    // The page never shows here: the window is shown minimized from outside.
    ::ShowWindow(window, SW_SHOWMINNOACTIVE);
    ASSERT_TRUE(::IsIconic(window));

    Launcher second(medium);
    EXPECT_EQ(second.WaitForExit(), 1u);
    EXPECT_FALSE(::IsIconic(window));
    EXPECT_TRUE(::IsWindowVisible(window));
    EXPECT_EQ(::GetForegroundWindow(), window);

    ::PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(first.WaitForExit(), 0u);
}

// Another vendor's menu with the same title, on a thread of its own that
// answers messages, above every other window.
class ForeignDialog {
public:
    explicit ForeignDialog(const wchar_t* title) {
        HANDLE made = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        thread_ = std::thread([this, title, made] {
            window_ = ::CreateWindowExW(0, kDialogClass, title, WS_POPUP | WS_CAPTION | WS_VISIBLE,
                                        0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
            ::SetWindowPos(window_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
            thread_id_ = ::GetCurrentThreadId();
            ::SetEvent(made);
            MSG message;
            while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
                ::DispatchMessageW(&message);
            }
            ::DestroyWindow(window_);
        });
        ::WaitForSingleObject(made, kStartTimeout);
        ::CloseHandle(made);
    }
    ~ForeignDialog() {
        ::PostThreadMessageW(thread_id_, WM_QUIT, 0, 0);
        thread_.join();
    }
    HWND get() const { return window_; }

private:
    std::thread thread_;
    HWND window_ = nullptr;
    DWORD thread_id_ = 0;
};

// Other vendors' menus are titled "Autorun" too: the second start passes over
// the one the system finds first, which lacks the launcher's marker window.
TEST_F(AutorunUnderWine, ASecondStartRaisesTheLaunchersWindowNotAForeignOneOfTheSameTitle) {
    Medium medium;
    Launcher first(medium);
    HWND window = first.WaitForWindow(L"Autorun");
    ASSERT_TRUE(window) << first.Windows();
    ::ShowWindow(window, SW_SHOWMINNOACTIVE);
    ForeignDialog foreign(L"Autorun");
    ASSERT_TRUE(foreign.get());
    ASSERT_EQ(::FindWindowW(kDialogClass, L"Autorun"), foreign.get());

    Launcher second(medium);
    EXPECT_EQ(second.WaitForExit(), 1u);
    EXPECT_FALSE(::IsIconic(window));
    EXPECT_EQ(::GetForegroundWindow(), window);

    ::PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(first.WaitForExit(), 0u);
}

// A first launcher that runs elevated holds its mutex with a security that a
// launcher of the user's own rights may not open (given here to the first
// launcher's mutex from outside): the second start is still the second one.
TEST_F(AutorunUnderWine, ASecondStartThatMayNotOpenTheFirstOnesMutexExitsWith1AndRaisesIt) {
    Medium medium;
    Launcher first(medium);
    HWND window = first.WaitForWindow(L"Autorun");
    ASSERT_TRUE(window) << first.Windows();
    ::ShowWindow(window, SW_SHOWMINNOACTIVE);
    HANDLE mutex = ::OpenMutexW(WRITE_DAC, FALSE, L"breltautorun");
    ASSERT_TRUE(mutex) << ::GetLastError();
    ACL nobody;
    ::InitializeAcl(&nobody, sizeof(nobody), ACL_REVISION);
    EXPECT_EQ(::SetSecurityInfo(mutex, SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                nullptr, &nobody, nullptr),
              static_cast<DWORD>(ERROR_SUCCESS));
    ::CloseHandle(mutex);
    ASSERT_EQ(::CreateMutexW(nullptr, FALSE, L"breltautorun"), nullptr);
    ASSERT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));

    Launcher second(medium);
    EXPECT_EQ(second.WaitForExit(), 1u);
    EXPECT_FALSE(::IsIconic(window));
    EXPECT_EQ(::GetForegroundWindow(), window);

    ::PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(first.WaitForExit(), 0u);
}

// The second launcher looks for the title in its own language, which the
// product's setting chose for both.
TEST_F(AutorunUnderWine, TheLanguageSettingTitlesTheDialogAndTheSecondStartFindsIt) {
    ForcedLanguage japanese(L"0411");
    Medium medium;
    Launcher first(medium);
    HWND window = first.WaitForWindow(L"\u81EA\u52D5\u5B9F\u884C");
    ASSERT_TRUE(window) << first.Windows();
    ::ShowWindow(window, SW_SHOWMINNOACTIVE);
    Launcher second(medium);
    EXPECT_EQ(second.WaitForExit(), 1u);
    EXPECT_FALSE(::IsIconic(window));
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(first.WaitForExit(), 0u);
}

TEST_F(AutorunUnderWine, ABrokenMediumShowsTheReasonInAMessageBoxCaptionedOrvellaAndExitsWith0) {
    for (std::u16string_view missing : {u"autorun.xml", u"rsc/autorun.tpl"}) {
        SCOPED_TRACE(Utf8(BaseString(missing)));
        Medium medium;
        medium.Remove(missing);
        Launcher launcher(medium);
        HWND box = launcher.WaitForWindow(L"Orvella");
        ASSERT_TRUE(box) << launcher.Windows();
        EXPECT_EQ(::FindWindowW(kDialogClass, L"Orvella"), box);
        wchar_t text[1024] = {};
        ::GetDlgItemTextW(box, 0xFFFF, text, 1024);
        // The context, then the system's reason, as the error's marked frame.
        std::wstring message = text;
        const std::wstring context = L"Failed to initialize the application.\n";
        EXPECT_EQ(message.rfind(context, 0), 0u) << Narrow(message);
        EXPECT_GT(message.size(), context.size() + 1) << Narrow(message);
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(launcher.WaitForExit(), 0u);
    }
}

// Windows Server 2003 (5.2): the launcher is listed in the zone map from
// before its dialog until its end, and the end deletes any listing, also
// after a failed start and with what others put below it.
TEST_F(AutorunUnderWine, OnWindowsServer2003TheZoneListingLastsAsLongAsTheRun) {
    WindowsVersion version(L"win2003");
    DeleteKey(HKEY_CURRENT_USER, kListing);
    Medium medium;
    {
        Launcher launcher(medium);
        HWND window = launcher.WaitForWindow(L"Autorun");
        ASSERT_TRUE(window) << launcher.Windows();
        EXPECT_EQ(ListedZone(), 2);
        ::PostMessageW(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(launcher.WaitForExit(), 0u);
        EXPECT_EQ(ListedZone(), -1);
    }
    DWORD other_zone = 4;
    SetValue(HKEY_CURRENT_USER, (std::wstring(kListing) + L"\\left behind").c_str(), L"x",
             REG_DWORD, &other_zone, sizeof(other_zone));
    medium.Remove(u"autorun.xml");
    Launcher broken(medium);
    HWND box = broken.WaitForWindow(L"Orvella");
    ASSERT_TRUE(box);
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(broken.WaitForExit(), 0u);
    EXPECT_EQ(ListedZone(), -1);
}

// Windows 7 (6.1): no listing is made, and one that is there stays as it was.
TEST_F(AutorunUnderWine, OnWindows7TheZoneListingIsNeverTouched) {
    WindowsVersion version(L"win7");
    DeleteKey(HKEY_CURRENT_USER, kListing);
    Medium medium;
    for (bool listed_before : {false, true}) {
        SCOPED_TRACE(listed_before ? "listed before" : "not listed");
        DWORD zone = 4;
        if (listed_before) {
            SetValue(HKEY_CURRENT_USER, kListing, L"about", REG_DWORD, &zone, sizeof(zone));
        }
        Launcher launcher(medium);
        HWND window = launcher.WaitForWindow(L"Autorun");
        ASSERT_TRUE(window) << launcher.Windows();
        EXPECT_EQ(ListedZone(), listed_before ? 4 : -1);
        ::PostMessageW(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(launcher.WaitForExit(), 0u);
        EXPECT_EQ(ListedZone(), listed_before ? 4 : -1);
    }
    DeleteKey(HKEY_CURRENT_USER, kListing);
}

}  // namespace
