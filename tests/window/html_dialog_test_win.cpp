#include <gtest/gtest.h>

#include "base/win.h"

#include <exdispid.h>
#include <mshtmhst.h>
#include <urlmon.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "base/platform.h"
#include "browser_event_win.h"
#include "dialog_driver_win.h"
#include "icon_file.h"
#include "launcher/page/property_sheet_extension.h"
#include "launcher/window/dialog_resources.h"
#include "launcher/window/html_dialog.h"
#include "mt/current_thread.h"
#include "mt/thread.h"
#include "object/factory.h"
#include "properties/persistent_properties.h"
#include "temp_folder.h"
#include "test_support.h"

using Microsoft::WRL::ComPtr;

// The launcher's dialog on Win32 with Wine's own web-browser control. Wine has
// no HTML engine here: the control takes its site, activates, connects events
// and raises BeforeNavigate2 for a navigation, but never completes a document.
// The document and download events are raised on the dialog's sink exactly as
// the control raises them.
namespace {

constexpr UINT kLinkCommandMessage = 0x05B0;

// What the page extensions of these tests were asked and saw.
struct Seen {
    int created = 0;
    int visibility_queries = 0;
    int executions = 0;
    HWND owner = nullptr;
    bool host_enabled_during_execute = true;
    bool wait_cursor_during_execute = false;
    HWND focus_during_execute = nullptr;
};
Seen g_seen;

// Records every call; its element is always hidden. Running it disables the
// launcher's window, as an extension's own modal window would.
class RecordingExtension final
    : public Object::Impl<RecordingExtension, Gui::PropertySheetExtension> {
public:
    static constexpr char16_t kClsid[] = u"CID_Test::RecordingExtension";

    RecordingExtension() { ++g_seen.created; }

    void Execute(WindowHandle owner) override {
        auto dialog = static_cast<HWND>(owner);
        ++g_seen.executions;
        g_seen.owner = dialog;
        g_seen.host_enabled_during_execute = ::IsWindowEnabled(HostWindow(dialog));
        g_seen.wait_cursor_during_execute = ::GetCursor() == ::LoadCursorW(nullptr, IDC_WAIT);
        g_seen.focus_during_execute = ::GetFocus();
        ::EnableWindow(dialog, FALSE);
    }
    uint32_t IsVisible() override {
        ++g_seen.visibility_queries;
        return 0x100;
    }
};

Object::FactoryRegistration registration{Object::ClassFactory<RecordingExtension>()};

// A page with one element bound to the recording extension.
void SetRecordedPage(HtmlDialog& dialog) {
    g_seen = Seen();
    VisibilityMap visibility;
    visibility[BaseString(u"vis1")] = BaseString(RecordingExtension::kClsid);
    dialog.SetPage(BaseString(u"<p id='vis1'>page</p>"), visibility);
}

// Raises one event on the dialog's sink as the control raises it; the event
// object keeps its Cancel flag.
void Raise(HWND dialog, BrowserEvent& event) {
    ComPtr<IDispatch> sink = EventSink(dialog);
    ASSERT_TRUE(sink);
    EXPECT_EQ(event.RaiseOn(sink.Get()), S_OK);
}

VARIANT_BOOL Navigate(HWND dialog, const wchar_t* url) {
    BrowserEvent event;
    event.BeforeNavigate2(url);
    Raise(dialog, event);
    return event.cancel();
}

void DocumentComplete(HWND dialog) {
    BrowserEvent event;
    event.DocumentComplete(L"about:quorra");
    Raise(dialog, event);
}

void DownloadComplete(HWND dialog) {
    BrowserEvent event;
    event.WithoutArguments(DISPID_DOWNLOADCOMPLETE);
    Raise(dialog, event);
}

std::wstring WindowText(HWND window) {
    wchar_t text[256] = {};
    ::GetWindowTextW(window, text, 256);
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t text[256] = {};
    ::GetClassNameW(window, text, 256);
    return text;
}

SIZE SizeOf(const RECT& rect) {
    return {rect.right - rect.left, rect.bottom - rect.top};
}

BOOL CALLBACK FindMarker(HWND child, LPARAM found) {
    if (WindowText(child) == L"Dravik:HidCt564") {
        *reinterpret_cast<HWND*>(found) = child;
        return FALSE;
    }
    return TRUE;
}

// The dialog's hidden marker child. (Its class, the version 6 edit control of
// the manifest, has an atom of its own: FindWindowEx by class name misses it.)
HWND Marker(HWND dialog) {
    HWND found = nullptr;
    ::EnumChildWindows(dialog, FindMarker, reinterpret_cast<LPARAM>(&found));
    return found;
}

void Close(HWND dialog) {
    ::PostMessageW(dialog, WM_CLOSE, 0, 0);
}

// The control's events once the real page is in: the window is shown.
void ShowPage(HWND dialog) {
    DocumentComplete(dialog);
    DocumentComplete(dialog);
}

bool PageHasFocus(HWND dialog) {
    HWND focus = ::GetFocus();
    HWND host = HostWindow(dialog);
    return focus && (focus == host || ::IsChild(host, focus));
}

TEST(HtmlDialogWin, BuildsItsWindowFromTheTemplateHiddenWithTheControlOverItsClientArea) {
    OnOwnThread([] {
        ScopedLanguage english(0x0409);
        HtmlDialog dialog;
        SetRecordedPage(dialog);
        HWND seen_dialog = nullptr;
        int32_t result = RunDialog(
            dialog, {[&](HWND window) {
                seen_dialog = window;
                EXPECT_EQ(ClassOf(window), L"#32770");
                EXPECT_EQ(WindowText(window), L"Autorun");
                EXPECT_FALSE(::IsWindowVisible(window));
                EXPECT_EQ(::GetDlgItem(window, IDC_SHOW_ON_STARTUP), nullptr)
                    << "check box destroyed";

                // The page's whole area inside the caption and the frame.
                RECT client;
                ::GetClientRect(window, &client);
                EXPECT_EQ(SizeOf(client).cx, 670);
                EXPECT_EQ(SizeOf(client).cy, 490);
                RECT outer;
                ::GetWindowRect(window, &outer);
                EXPECT_GT(SizeOf(outer).cy, 490) << "the caption comes on top";
                // Sized, then centred in the work area of its monitor.
                MONITORINFO monitor{};
                monitor.cbSize = sizeof(monitor);
                ASSERT_TRUE(::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST),
                                              &monitor));
                const RECT& work = monitor.rcWork;
                EXPECT_LE(std::abs((outer.left - work.left) - (work.right - outer.right)), 1);
                EXPECT_LE(std::abs((outer.top - work.top) - (work.bottom - outer.bottom)), 1);

                HWND marker = Marker(window);
                ASSERT_TRUE(marker);
                EXPECT_EQ(ClassOf(marker), L"Edit");
                EXPECT_EQ(::GetWindowLongW(marker, GWL_STYLE) & WS_VISIBLE, 0);
                EXPECT_EQ(::GetWindowLongW(marker, GWL_EXSTYLE) & WS_EX_CLIENTEDGE,
                          WS_EX_CLIENTEDGE);
                EXPECT_EQ(::GetDlgCtrlID(marker), 0);
                RECT marker_rect;
                ::GetWindowRect(marker, &marker_rect);
                EXPECT_EQ(SizeOf(marker_rect).cx, 1);
                EXPECT_EQ(SizeOf(marker_rect).cy, 1);

                HWND host = HostWindow(window);
                ASSERT_TRUE(host);
                EXPECT_EQ(static_cast<DWORD>(::GetWindowLongW(host, GWL_STYLE)), 0x56000000u);
                RECT host_rect;
                ::GetWindowRect(host, &host_rect);
                ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&host_rect), 2);
                EXPECT_EQ(host_rect.left, 0);
                EXPECT_EQ(host_rect.top, 0);
                EXPECT_EQ(SizeOf(host_rect).cx, 670);
                EXPECT_EQ(SizeOf(host_rect).cy, 490);

                ComPtr<IWebBrowser2> browser = Browser(window);
                ASSERT_TRUE(browser);
                BSTR location = nullptr;
                ASSERT_EQ(browser->get_LocationURL(&location), S_OK);
                EXPECT_STREQ(location, L"about:quorra");
                ::SysFreeString(location);
                VARIANT_BOOL visible = VARIANT_FALSE;
                browser->get_Visible(&visible);
                EXPECT_EQ(visible, VARIANT_TRUE);
                VARIANT_BOOL silent = VARIANT_FALSE;
                browser->get_Silent(&silent);
                EXPECT_EQ(silent, VARIANT_TRUE) << "no dialogs of the control's own";

                // What the control reads from its site: no context menu; a
                // dialog's page without scroll bars or sunken edges, zoomed by
                // the system's DPI.
                ComPtr<IOleObject> control;
                ComPtr<IOleClientSite> site;
                ComPtr<IDocHostUIHandler> ui;
                ASSERT_EQ(browser.As(&control), S_OK);
                ASSERT_EQ(control->GetClientSite(&site), S_OK);
                ASSERT_EQ(site.As(&ui), S_OK);
                DOCHOSTUIINFO info{};
                info.cbSize = sizeof(info);
                ASSERT_EQ(ui->GetHostInfo(&info), S_OK);
                EXPECT_EQ(
                    info.dwFlags,
                    static_cast<DWORD>(DOCHOSTUIFLAG_DIALOG | DOCHOSTUIFLAG_SCROLL_NO |
                                       DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_NO3DOUTERBORDER |
                                       DOCHOSTUIFLAG_DPI_AWARE));
                POINT point{10, 10};
                EXPECT_EQ(ui->ShowContextMenu(CONTEXT_MENU_DEFAULT, &point, nullptr, nullptr),
                          S_OK);
                Close(window);
            }});
        EXPECT_EQ(result, 2);
        EXPECT_FALSE(::IsWindow(seen_dialog)) << "destroyed when the run ends";
    });
}

// The dialog's title in the launcher's language; a language without texts of
// its own (English, United Kingdom) gets the English ones. (The template of
// every language is read back with the resources.)
TEST(HtmlDialogWin, IsTitledInTheCurrentLanguage) {
    struct Case {
        uint32_t language;
        const wchar_t* title;
    } cases[] = {{0x0411, L"\u81EA\u52D5\u5B9F\u884C"},
                 {0x0419, L"\u0410\u0432\u0442\u043E\u0437\u0430\u043F\u0443\u0441\u043A"},
                 {0x0409, L"Autorun"},
                 {0x0809, L"Autorun"}};
    for (const Case& test : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << test.language);
        OnOwnThread([&] {
            ScopedLanguage language(test.language);
            HtmlDialog dialog;
            SetRecordedPage(dialog);
            RunDialog(dialog, {[&](HWND window) {
                          EXPECT_EQ(WindowText(window), test.title);
                          Close(window);
                      }});
        });
    }
}

// The placeholder's document hands the real page over; only a later document,
// or a second download, shows the window, after the bound elements' visibility
// was refreshed.
TEST(HtmlDialogWin, StaysHiddenUntilThePageWasHandedOverAndLoaded) {
    enum Event { kDocument, kDownload };
    struct Case {
        const char* name;
        std::vector<Event> hidden_after;
        Event shown_after;
    } cases[] = {
        {"a second document", {kDocument}, kDocument},
        {"a second download", {kDownload, kDocument}, kDownload},
        {"a download, then the page's document", {kDocument, kDownload}, kDocument},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        OnOwnThread([&] {
            HtmlDialog dialog;
            SetRecordedPage(dialog);
            auto raise = [](HWND window, Event event) {
                if (event == kDocument) {
                    DocumentComplete(window);
                } else {
                    DownloadComplete(window);
                }
            };
            std::vector<DialogStep> steps;
            for (Event event : test.hidden_after) {
                steps.push_back([=](HWND window) { raise(window, event); });
                steps.push_back([](HWND window) {
                    EXPECT_FALSE(::IsWindowVisible(window));
                    EXPECT_EQ(g_seen.visibility_queries, 0);
                });
            }
            steps.push_back([=](HWND window) { raise(window, test.shown_after); });
            steps.push_back([](HWND window) {
                EXPECT_TRUE(::IsWindowVisible(window));
                EXPECT_EQ(g_seen.visibility_queries, 1);
                HWND focus = ::GetFocus();
                EXPECT_TRUE(focus == HostWindow(window) || ::IsChild(HostWindow(window), focus));
                Close(window);
            });
            EXPECT_EQ(RunDialog(dialog, std::move(steps)), 2);
        });
    }
}

// Started by "run:" from this program's folder: leaves "ran.txt" in the
// current folder.
constexpr wchar_t kRunProbe[] = L"run:run_probe.exe";

bool WaitForFile(const std::filesystem::path& path) {
    for (int i = 0; i < 200 && !std::filesystem::exists(path); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return std::filesystem::exists(path);
}

// The current folder is a fresh one while the test runs.
class InFreshFolder {
public:
    InFreshFolder() : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(folder_.Native(u""));
    }
    ~InFreshFolder() { std::filesystem::current_path(previous_); }
    const TempFolder& folder() const { return folder_; }

private:
    TempFolder folder_;
    std::filesystem::path previous_;
};

TEST(HtmlDialogWin, ANavigationRunsItsCommandRefreshesTheVisibilityAndIsCancelled) {
    InFreshFolder folder;
    OnOwnThread([] {
        HtmlDialog dialog;
        SetRecordedPage(dialog);
        RunDialog(dialog, {[](HWND window) {
                               EXPECT_EQ(Navigate(window, kRunProbe), VARIANT_TRUE);
                               EXPECT_EQ(g_seen.visibility_queries, 1);
                               EXPECT_EQ(Navigate(window, L"https://example.com/"), VARIANT_TRUE);
                               EXPECT_EQ(g_seen.visibility_queries, 2);
                           },
                           Close});
    });
    EXPECT_TRUE(WaitForFile(folder.folder().Native(u"ran.txt")));
}

// Wine's control raises BeforeNavigate2 for a navigation it is told to make.
TEST(HtmlDialogWin, AQuitLinkTheControlNavigatesToEndsTheRun) {
    OnOwnThread([] {
        HtmlDialog dialog;
        SetRecordedPage(dialog);
        int32_t result = RunDialog(
            dialog, {[](HWND window) {
                ComPtr<IWebBrowser2> browser = Browser(window);
                ASSERT_TRUE(browser);
                BSTR url = ::SysAllocString(L"quit:");
                EXPECT_EQ(browser->Navigate(url, nullptr, nullptr, nullptr, nullptr), S_OK);
                ::SysFreeString(url);
            }});
        EXPECT_EQ(result, 2);
        EXPECT_EQ(g_seen.visibility_queries, 1);
    });
}

// What the control's document does: it hands the system's security manager a
// site through which the manager finds the container's own.
class DocumentSecuritySite final : public IInternetSecurityMgrSite {
public:
    explicit DocumentSecuritySite(IServiceProvider* container) : container_(container) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IServiceProvider) {
            return container_->QueryInterface(iid, object);
        }
        if (iid == IID_IUnknown || iid == IID_IInternetSecurityMgrSite) {
            *object = static_cast<IInternetSecurityMgrSite*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // Lives on the test's stack.
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetWindow(HWND* window) override {
        *window = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP EnableModeless(BOOL) override { return E_NOTIMPL; }

private:
    IServiceProvider* container_;
};

// The system's security manager, as the control's document uses it, asked
// about the page and the medium in a folder whose name the URL escapes: the
// page and the medium's files are trusted sites, and the page runs its script;
// other files and the web keep their zones.
TEST(HtmlDialogWin, ThePageAndTheMediumsFilesAreTrustedSitesAndNothingElse) {
    InFreshFolder folder;
    std::filesystem::path medium = folder.folder().Native(u"My Media #1");
    std::filesystem::create_directory(medium);
    std::filesystem::current_path(medium);
    // As the browser writes it: "#" escaped, blanks as they are.
    std::wstring medium_url = L"file:///";
    for (wchar_t c : medium.wstring()) {
        medium_url += c == L'\\' ? L"/" : c == L'#' ? L"%23" : std::wstring(1, c);
    }
    OnOwnThread([&] {
        HtmlDialog dialog;
        SetRecordedPage(dialog);
        RunDialog(dialog,
                  {[&](HWND window) {
                       ComPtr<IOleObject> control;
                       ComPtr<IOleClientSite> site;
                       ComPtr<IServiceProvider> services;
                       ASSERT_EQ(Browser(window).As(&control), S_OK);
                       ASSERT_EQ(control->GetClientSite(&site), S_OK);
                       ASSERT_EQ(site.As(&services), S_OK);
                       DocumentSecuritySite document(services.Get());
                       ComPtr<IInternetSecurityManager> system;
                       ASSERT_EQ(::CoInternetCreateSecurityManager(nullptr, &system, 0), S_OK);
                       ASSERT_EQ(system->SetSecuritySite(&document), S_OK);

                       struct Case {
                           std::wstring url;
                           DWORD zone;
                       } cases[] = {
                           {L"about:quorra", URLZONE_TRUSTED},
                           {medium_url + L"/rsc/autorun.css", URLZONE_TRUSTED},
                           {medium_url + L"/rsc/../../other.css", URLZONE_LOCAL_MACHINE},
                           {L"file:///C:/windows/win.ini", URLZONE_LOCAL_MACHINE},
                           {L"http://example.com/", URLZONE_INTERNET},
                       };
                       for (const Case& c : cases) {
                           SCOPED_TRACE(Utf8(BaseString(Utf16Ptr(c.url.c_str()))));
                           DWORD zone = 99;
                           EXPECT_EQ(system->MapUrlToZone(c.url.c_str(), &zone, 0), S_OK);
                           EXPECT_EQ(zone, c.zone);
                       }
                       DWORD policy = URLPOLICY_DISALLOW;
                       EXPECT_EQ(system->ProcessUrlAction(L"about:quorra", URLACTION_SCRIPT_RUN,
                                                          reinterpret_cast<BYTE*>(&policy),
                                                          sizeof(policy), nullptr, 0, PUAF_NOUI, 0),
                                 S_OK);
                       EXPECT_EQ(policy, URLPOLICY_ALLOW);
                       system->SetSecuritySite(nullptr);
                   },
                   Close});
    });
}

TEST(HtmlDialogWin, NewWindowsAreRefusedWithoutACommand) {
    InFreshFolder folder;
    OnOwnThread([] {
        HtmlDialog dialog;
        SetRecordedPage(dialog);
        RunDialog(dialog, {[](HWND window) {
                               BrowserEvent event;
                               event.NewWindow2();
                               Raise(window, event);
                               EXPECT_EQ(event.cancel(), VARIANT_TRUE);
                               EXPECT_EQ(g_seen.visibility_queries, 0);
                           },
                           Close});
    });
    EXPECT_FALSE(folder.folder().Exists(u"ran.txt"));
}

TEST(HtmlDialogWin, EveryEndingEndsTheRunWith2AndMessage0WithItsWParam) {
    auto broadcast = [](const wchar_t* name) {
        return
            [name](HWND) { ::PostMessageW(HWND_BROADCAST, ::RegisterWindowMessageW(name), 0, 0); };
    };
    struct Case {
        const char* name;
        DialogStep end;
        int32_t result;
    } cases[] = {
        {"WM_CLOSE", Close, 2},
        {"the system menu's Close",
         [](HWND window) { ::PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); }, 2},
        {"the cancel command", [](HWND window) { ::PostMessageW(window, WM_COMMAND, IDCANCEL, 0); },
         2},
        {"Escape", [](HWND window) { ::PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0); }, 2},
        {"Escape for another window of the thread",
         [](HWND window) { ::PostMessageW(HostWindow(window), WM_KEYDOWN, VK_ESCAPE, 0); }, 2},
        {"Escape with no window focused, which comes as a system key",
         [](HWND window) { ::PostMessageW(window, WM_SYSKEYDOWN, VK_ESCAPE, 1); }, 2},
        {"the end of the session",
         [](HWND window) { ::SendMessageW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF); }, 2},
        {"an end of session that did not happen",
         [](HWND window) { ::SendMessageW(window, WM_ENDSESSION, FALSE, 0); }, 2},
        {"the broadcast Tarnis::LogoffMessage", broadcast(L"Tarnis::LogoffMessage"), 2},
        {"the broadcast Dravik::CancelDialog", broadcast(L"Dravik::CancelDialog"), 2},
        {"the quit: link", [](HWND window) { Navigate(window, L"quit:"); }, 2},
        {"message 0", [](HWND window) { ::PostMessageW(window, WM_NULL, 7, 0); }, 7},
        {"message 0 for the marker",
         [](HWND window) { ::PostMessageW(Marker(window), WM_NULL, 5, 0); }, 5},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        OnOwnThread([&] {
            HtmlDialog dialog;
            SetRecordedPage(dialog);
            EXPECT_EQ(RunDialog(dialog, {test.end}), test.result);
        });
    }
}

// Message 0 that others made of a message they swallowed, for another window
// or for the thread, is no ending.
TEST(HtmlDialogWin, Message0ForAnotherWindowOrTheThreadEndsNothing) {
    OnOwnThread([] {
        HtmlDialog dialog;
        SetRecordedPage(dialog);
        HWND other = nullptr;
        int32_t result = RunDialog(
            dialog, {[&](HWND window) {
                         other = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10,
                                                   nullptr, nullptr, nullptr, nullptr);
                         ::PostMessageW(other, WM_NULL, 7, 0);
                         ::PostMessageW(HostWindow(window), WM_NULL, 7, 0);
                         ::PostThreadMessageW(::GetCurrentThreadId(), WM_NULL, 7, 0);
                     },
                     [&](HWND window) {
                         EXPECT_TRUE(::IsWindow(window)) << "still running";
                         ::DestroyWindow(other);
                         Close(window);
                     }});
        EXPECT_EQ(result, 2);
    });
}

// Tab and Return go to the control, which here takes no key as an
// accelerator (S_FALSE): they then reach the window they were for as any key
// does, translated into characters. Other keys reach no window of the
// launcher's thread: an edit control beside the dialog would type them, and
// types a character posted to it directly.
TEST(HtmlDialogWin, TabAndReturnReachTheirWindowAndOtherKeysNone) {
    OnOwnThread([] {
        HtmlDialog dialog;
        SetRecordedPage(dialog);
        HWND edit = nullptr;
        RunDialog(dialog,
                  {[&](HWND) {
                       edit = ::CreateWindowExW(0, L"EDIT", L"",
                                                WS_POPUP | ES_MULTILINE | ES_WANTRETURN, 0, 0, 200,
                                                60, nullptr, nullptr, nullptr, nullptr);
                       ASSERT_TRUE(edit);
                       for (WPARAM key : {WPARAM('A'), WPARAM('7'), WPARAM(VK_SPACE),
                                          WPARAM(VK_LEFT), WPARAM(VK_TAB), WPARAM(VK_RETURN)}) {
                           ::PostMessageW(edit, WM_KEYDOWN, key, 1);
                       }
                   },
                   [&](HWND) { ::PostMessageW(edit, WM_CHAR, 'x', 1); },
                   [&](HWND window) {
                       EXPECT_EQ(WindowText(edit), L"\t\r\nx");
                       ::DestroyWindow(edit);
                       Close(window);
                   }});
    });
}

// The message's lParam is an address in the launcher: from any other sender
// it is not read.
TEST(HtmlDialogWin, ALinkCommandMessageFromElsewhereIsIgnored) {
    OnOwnThread([] {
        HtmlDialog dialog;
        SetRecordedPage(dialog);
        int32_t result =
            RunDialog(dialog, {[](HWND window) {
                                   ::SendMessageW(window, kLinkCommandMessage, 0, 0x10);
                                   ::PostMessageW(window, kLinkCommandMessage, 0, 0x20);
                                   static const BaseString quit(u"quit:");
                                   ::SendMessageW(window, kLinkCommandMessage, 0,
                                                  reinterpret_cast<LPARAM>(&quit));
                               },
                               [](HWND window) {
                                   EXPECT_TRUE(::IsWindow(window)) << "still running";
                                   Close(window);
                               }});
        EXPECT_EQ(result, 2);
    });
}

TEST(HtmlDialogWin, AnExtensionRunsOverTheDisabledPageWithTheWaitCursor) {
    OnOwnThread([] {
        HtmlDialog dialog;
        SetRecordedPage(dialog);
        HCURSOR before = ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
        RunDialog(dialog, {[&](HWND window) {
                               EXPECT_EQ(Navigate(window, L"invoke:CID_Test::RecordingExtension"),
                                         VARIANT_TRUE);
                               EXPECT_EQ(g_seen.executions, 1);
                               EXPECT_EQ(g_seen.owner, window);
                               EXPECT_FALSE(g_seen.host_enabled_during_execute);
                               EXPECT_TRUE(g_seen.wait_cursor_during_execute);
                               EXPECT_TRUE(::IsWindowEnabled(HostWindow(window)));
                               EXPECT_TRUE(::IsWindowEnabled(window));
                               EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_ARROW));
                               Navigate(window, L"invoke:CID_Test::RecordingExtension");
                               EXPECT_EQ(g_seen.executions, 2);
                               EXPECT_EQ(g_seen.created, 1) << "one component for the run";
                           },
                           Close});
        ::SetCursor(before);
    });
}

TEST(HtmlDialogWin, AFailingInvokeShowsItsErrorOverTheDialogAndThePageStaysUsable) {
    OnOwnThread([] {
        ScopedLanguage english(0x0409);
        HtmlDialog dialog;
        SetRecordedPage(dialog);
        RunDialog(dialog,
                  {[](HWND window) {
                       // Returns when the message box is closed, by the next step.
                       EXPECT_EQ(Navigate(window, L"invoke:CID_Test::Missing"), VARIANT_TRUE);
                   },
                   [](HWND window) {
                       HWND box = ThreadWindow(L"#32770", L"Orvella");
                       ASSERT_TRUE(box);
                       EXPECT_EQ(::GetWindow(box, GW_OWNER), window);
                       EXPECT_FALSE(::IsWindowEnabled(HostWindow(window)));
                       wchar_t text[512] = {};
                       ::GetDlgItemTextW(box, 0xFFFF, text, 512);
                       EXPECT_NE(std::wstring(text).find(L"CID_Test::Missing"), std::wstring::npos)
                           << Utf8(BaseString(Utf16Ptr(text)));
                       ::PostMessageW(box, WM_COMMAND, IDOK, 0);
                   },
                   [](HWND window) {
                       EXPECT_FALSE(ThreadWindow(L"#32770", L"Orvella"));
                       EXPECT_TRUE(::IsWindowEnabled(HostWindow(window)));
                       EXPECT_TRUE(::IsWindowEnabled(window));
                       Close(window);
                   }});
    });
}

// The product's folder from the machine's settings, with or without its
// closing separator.
TEST(HtmlDialogWin, TheWindowIconComesFromTheInstalledProductsFolder) {
    TempFolder product;
    std::filesystem::create_directory(product.Native(u"rsc"));
    product.WriteFile(u"rsc/appico.ico", IconFile(0x00FF00));
    BaseString folder(product.Native(u"").u16string());
    while (folder.view().ends_with(u'\\')) {
        folder = BaseString(folder.view().substr(0, folder.length() - 1));
    }
    const BaseString install_dir(u"Orvella\\1.0\\InstallDir");
    for (const BaseString& registered : {folder, folder + u"\\", BaseString()}) {
        SCOPED_TRACE(Utf8(registered));
        if (!registered.empty()) {
            PersistentProperties(install_dir, PropertyScope::kMachine)
                .SetString(BaseString(), registered);
        }
        OnOwnThread([&] {
            HtmlDialog dialog;
            SetRecordedPage(dialog);
            RunDialog(dialog, {[&](HWND window) {
                          for (WPARAM kind : {ICON_SMALL, ICON_BIG}) {
                              HANDLE icon = reinterpret_cast<HANDLE>(
                                  ::SendMessageW(window, WM_GETICON, kind, 0));
                              EXPECT_EQ(icon != nullptr, !registered.empty()) << "kind " << kind;
                          }
                          Close(window);
                      }});
        });
        PersistentProperties(install_dir, PropertyScope::kMachine).DeleteKey();
    }
}

TEST(HtmlDialogWin, AThreadInterruptionEndsTheRun) {
    OnOwnThread([] {
        HtmlDialog dialog;
        SetRecordedPage(dialog);
        int32_t result = RunDialog(dialog, {[](HWND window) {
                                       Mt::GetCurrentThread()->GetThread()->Interrupt();
                                       ::PostMessageW(window, WM_USER + 1, 0, 0);
                                   }});
        EXPECT_EQ(result, 2);
    });
}

// The system's message when the window moves to a monitor of another DPI:
// the window takes the place it suggests and the page's size at that DPI,
// the browser's host over the page's area.
TEST(HtmlDialogWin, FollowsTheMonitorsDpiWithThePagesSizeAtIt) {
    OnOwnThread([] {
        HtmlDialog dialog;
        SetRecordedPage(dialog);
        RunDialog(
            dialog, {[](HWND window) {
                struct Case {
                    UINT dpi;
                    SIZE page;
                } cases[] = {
                    {144, {1005, 735}}, {120, {838, 613}}, {192, {1340, 980}}, {96, {670, 490}}};
                for (const Case& test : cases) {
                    SCOPED_TRACE(test.dpi);
                    RECT suggested{40, 30, 540, 430};
                    ::SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(test.dpi, test.dpi),
                                   reinterpret_cast<LPARAM>(&suggested));
                    RECT outer, client, host;
                    ::GetWindowRect(window, &outer);
                    EXPECT_EQ(outer.left, 40);
                    EXPECT_EQ(outer.top, 30);
                    ::GetClientRect(window, &client);
                    EXPECT_EQ(SizeOf(client).cx, test.page.cx);
                    EXPECT_EQ(SizeOf(client).cy, test.page.cy);
                    ::GetWindowRect(HostWindow(window), &host);
                    ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&host), 2);
                    EXPECT_EQ(host.left, 0);
                    EXPECT_EQ(host.top, 0);
                    EXPECT_EQ(SizeOf(host).cx, test.page.cx);
                    EXPECT_EQ(SizeOf(host).cy, test.page.cy);
                }
                Close(window);
            }});
    });
}

// Disabled while the extension runs, the browser's host loses the focus and
// no window has it (Wine too clears it when it is on the host window
// itself): once the extension is done, the page has the keyboard again.
TEST(HtmlDialogWin, ThePageHasTheKeyboardAgainAfterAnExtensionRan) {
    OnOwnThread([] {
        HtmlDialog dialog;
        SetRecordedPage(dialog);
        RunDialog(dialog, {ShowPage,
                           [](HWND window) {
                               ASSERT_TRUE(::IsWindowVisible(window));
                               ASSERT_EQ(::GetActiveWindow(), window);
                               ::SetFocus(HostWindow(window));
                               ASSERT_EQ(::GetFocus(), HostWindow(window));
                               Navigate(window, L"invoke:CID_Test::RecordingExtension");
                               EXPECT_EQ(g_seen.executions, 1);
                               EXPECT_EQ(g_seen.focus_during_execute, nullptr);
                               EXPECT_TRUE(PageHasFocus(window));
                           },
                           Close});
    });
}

// Activated with the focus on no window of its own (left nowhere, as after an
// extension, before another window was activated), or focused itself, the
// dialog hands the focus to the page.
TEST(HtmlDialogWin, ActivatedOrFocusedItselfTheDialogHandsTheFocusToThePage) {
    OnOwnThread([] {
        HtmlDialog dialog;
        SetRecordedPage(dialog);
        HWND other = nullptr;
        RunDialog(dialog, {ShowPage,
                           [&](HWND window) {
                               ::SetFocus(nullptr);
                               other =
                                   ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0,
                                                     10, 10, nullptr, nullptr, nullptr, nullptr);
                               ::SetActiveWindow(other);
                               ASSERT_EQ(::GetActiveWindow(), other);
                               ::SetActiveWindow(window);
                               ASSERT_EQ(::GetActiveWindow(), window);
                               EXPECT_TRUE(PageHasFocus(window));
                               ::SetFocus(window);
                               EXPECT_TRUE(PageHasFocus(window));
                               ::DestroyWindow(other);
                           },
                           Close});
    });
}

// With the focus nowhere, keys reach the active window as system keys: one
// gives the page the focus back and goes no further. Alt+Escape is the
// system's, and does not end the run.
TEST(HtmlDialogWin, AKeyWithTheFocusNowhereGivesThePageTheFocus) {
    OnOwnThread([] {
        HtmlDialog dialog;
        SetRecordedPage(dialog);
        RunDialog(dialog, {ShowPage,
                           [](HWND window) {
                               ::SetFocus(nullptr);
                               ASSERT_FALSE(::GetFocus());
                               ::PostMessageW(window, WM_SYSKEYDOWN, VK_TAB, 1);
                               ::PostMessageW(window, WM_SYSKEYDOWN, VK_ESCAPE,
                                              1 | (LPARAM(KF_ALTDOWN) << 16));
                           },
                           [](HWND window) {
                               EXPECT_TRUE(::IsWindow(window)) << "still running";
                               EXPECT_TRUE(PageHasFocus(window));
                               Close(window);
                           }});
    });
}

int g_wheel_turns = 0;

LRESULT CALLBACK CountWheelTurns(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_MOUSEWHEEL) {
        ++g_wheel_turns;
        return 0;
    }
    return ::DefWindowProcW(window, message, wparam, lparam);
}

// The page has its fixed size: the wheel with Ctrl, which would zoom it,
// reaches no window; without Ctrl it reaches its window.
TEST(HtmlDialogWin, TheWheelWithCtrlReachesNoWindow) {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = CountWheelTurns;
    window_class.hInstance = ::GetModuleHandleW(nullptr);
    window_class.lpszClassName = L"OrvWheelCounter";
    ASSERT_TRUE(::RegisterClassW(&window_class));
    g_wheel_turns = 0;
    OnOwnThread([] {
        HtmlDialog dialog;
        SetRecordedPage(dialog);
        HWND counter = nullptr;
        RunDialog(dialog,
                  {[&](HWND) {
                       counter = ::CreateWindowExW(0, L"OrvWheelCounter", L"", WS_POPUP, 0, 0, 10,
                                                   10, nullptr, nullptr, nullptr, nullptr);
                       ASSERT_TRUE(counter);
                       ::PostMessageW(counter, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, WHEEL_DELTA),
                                      0);
                       ::PostMessageW(counter, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
                   },
                   [&](HWND window) {
                       EXPECT_EQ(g_wheel_turns, 1);
                       ::DestroyWindow(counter);
                       Close(window);
                   }});
    });
    ::UnregisterClassW(L"OrvWheelCounter", ::GetModuleHandleW(nullptr));
}

void CALLBACK EndTheLoop(HWND, UINT, UINT_PTR, DWORD) {
    ::PostQuitMessage(0);
}

// A run that ends for a failure before its window was ever shown (here: the
// control cannot be made on a thread without COM) throws the failure, so the
// launcher shows why it ends.
TEST(HtmlDialogWin, ARunEndedByAFailureBeforeTheWindowWasShownThrowsIt) {
    Error failure;
    std::thread thread([&] {
        HtmlDialog dialog;
        SetRecordedPage(dialog);
        // Ends a run that did not fail (and would run on).
        UINT_PTR timer = ::SetTimer(nullptr, 0, 10000, EndTheLoop);
        failure = ErrorOf([&] { dialog.RunModal(nullptr); });
        ::KillTimer(nullptr, timer);
    });
    thread.join();
    ASSERT_TRUE(failure.IsSet());
    EXPECT_NE(failure.GetText().view().find(u"axctrl-crt-fld"), std::u16string_view::npos)
        << Utf8(failure.GetText());
}

}  // namespace
