#include <gtest/gtest.h>

#include <idispids.h>
#include <olectl.h>

#include <cstring>
#include <string>
#include <vector>

#include "launcher/com_support.h"
#include "launcher/window/browser_events_win.h"
#include "launcher/window/browser_host_win.h"
#include "launcher/window/page_security_win.h"
#include "recording_handler_win.h"

using Microsoft::WRL::ComPtr;

// Wine's own web-browser control in a host window: Wine has no HTML engine
// here, but the control is real, takes its site, activates in place, connects
// events, and raises BeforeNavigate2 when it is told to navigate.
namespace {

constexpr int kWidth = 670;
constexpr int kHeight = 490;
constexpr DWORD kHostStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;

std::wstring Text(BSTR text) {
    std::wstring copy = text ? std::wstring(text, ::SysStringLen(text)) : std::wstring();
    ::SysFreeString(text);
    return copy;
}

// Tells the control to navigate and lets it run the navigation, which it
// starts from its window's messages.
void Navigate(IWebBrowser2* browser, const wchar_t* target) {
    BSTR url = ::SysAllocString(target);
    EXPECT_EQ(browser->Navigate(url, nullptr, nullptr, nullptr, nullptr), S_OK);
    ::SysFreeString(url);
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

// A hidden dialog window with a browser host over its client area, in the
// apartment the launcher makes for itself.
class BrowserHostTest : public testing::Test {
protected:
    void SetUp() override {
        EnsureComInitialized();
        ASSERT_TRUE(BrowserHost::RegisterWindowClass());
        parent_ = ::CreateWindowExW(0, L"#32770", L"host test", WS_POPUP | WS_CAPTION, 0, 0,
                                    kWidth + 40, kHeight + 40, nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(parent_);
        window_ = ::CreateWindowExW(0, BrowserHost::kWindowClass, L"", kHostStyle, 0, 0, kWidth,
                                    kHeight, parent_, nullptr, nullptr, nullptr);
        ASSERT_TRUE(window_);
        host_ = BrowserHost::FromWindow(window_);
        ASSERT_TRUE(host_);
    }
    void TearDown() override {
        ::DestroyWindow(parent_);
        ReleaseComInitialization();
    }

    // The control's own window, which it made inside the host window.
    HWND ControlWindow() {
        ComPtr<IOleInPlaceObject> in_place;
        HWND window = nullptr;
        if (SUCCEEDED(host_->QueryControl(IID_PPV_ARGS(&in_place)))) {
            in_place->GetWindow(&window);
        }
        return window;
    }

    ComPtr<IWebBrowser2> Browser() {
        ComPtr<IWebBrowser2> browser;
        EXPECT_EQ(host_->QueryControl(IID_PPV_ARGS(&browser)), S_OK);
        return browser;
    }

    HWND parent_ = nullptr;
    HWND window_ = nullptr;
    BrowserHost* host_ = nullptr;
};

TEST_F(BrowserHostTest, TheControlIsActivatedInPlaceOverTheHostAndShowsThePlaceholder) {
    ASSERT_EQ(host_->CreateControl(L"about:quorra"), S_OK);
    ComPtr<IWebBrowser2> browser = Browser();
    BSTR location = nullptr;
    ASSERT_EQ(browser->get_LocationURL(&location), S_OK);
    EXPECT_EQ(Text(location), L"about:quorra");

    HWND control = ControlWindow();
    ASSERT_TRUE(control);
    EXPECT_EQ(::GetParent(control), window_);
    RECT area;
    ::GetClientRect(control, &area);
    EXPECT_EQ(area.right - area.left, kWidth);
    EXPECT_EQ(area.bottom - area.top, kHeight);

    // The control follows the host window's size.
    ::MoveWindow(window_, 0, 0, 300, 200, TRUE);
    ::GetClientRect(control, &area);
    EXPECT_EQ(area.right - area.left, 300);
    EXPECT_EQ(area.bottom - area.top, 200);

    EXPECT_EQ(browser->put_Visible(VARIANT_TRUE), S_OK);
    VARIANT_BOOL visible = VARIANT_FALSE;
    EXPECT_EQ(browser->get_Visible(&visible), S_OK);
    EXPECT_EQ(visible, VARIANT_TRUE);
}

// What the control reads from its container, asked through the site the
// control holds.
TEST_F(BrowserHostTest, TheControlsSiteAnswersAmbientPropertiesAndTheDocumentHostSettings) {
    ASSERT_EQ(host_->CreateControl(L"about:quorra"), S_OK);
    host_->SetContextMenuAllowed(false);
    host_->SetDocHostFlags(DOCHOSTUIFLAG_DIALOG | DOCHOSTUIFLAG_SCROLL_NO);
    ComPtr<IOleObject> control;
    ASSERT_EQ(host_->QueryControl(IID_PPV_ARGS(&control)), S_OK);
    ComPtr<IOleClientSite> site;
    ASSERT_EQ(control->GetClientSite(&site), S_OK);
    ASSERT_TRUE(site);

    ComPtr<IDispatch> ambient;
    ASSERT_EQ(site.As(&ambient), S_OK);
    struct Ambient {
        DISPID id;
        VARIANT_BOOL value;
    };
    for (Ambient expected : {Ambient{DISPID_AMBIENT_USERMODE, VARIANT_TRUE},
                             Ambient{DISPID_AMBIENT_SHOWGRABHANDLES, VARIANT_FALSE},
                             Ambient{DISPID_AMBIENT_SHOWHATCHING, VARIANT_FALSE}}) {
        VARIANT value;
        ::VariantInit(&value);
        DISPPARAMS none{};
        ASSERT_EQ(ambient->Invoke(expected.id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET,
                                  &none, &value, nullptr, nullptr),
                  S_OK);
        EXPECT_EQ(V_VT(&value), VT_BOOL);
        EXPECT_EQ(V_BOOL(&value), expected.value);
    }
    VARIANT value;
    ::VariantInit(&value);
    DISPPARAMS none{};
    EXPECT_EQ(ambient->Invoke(DISPID_AMBIENT_SILENT, IID_NULL, LOCALE_USER_DEFAULT,
                              DISPATCH_PROPERTYGET, &none, &value, nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);
    ComPtr<IOleControl> ole_control;
    if (SUCCEEDED(control.As(&ole_control))) {
        EXPECT_TRUE(SUCCEEDED(ole_control->OnAmbientPropertyChange(DISPID_UNKNOWN)));
    }

    ComPtr<IDocHostUIHandler> ui;
    ASSERT_EQ(site.As(&ui), S_OK);
    DOCHOSTUIINFO info{};
    info.cbSize = sizeof(info);
    ASSERT_EQ(ui->GetHostInfo(&info), S_OK);
    EXPECT_EQ(info.dwFlags, 9u);
    POINT point{10, 10};
    EXPECT_EQ(ui->ShowContextMenu(CONTEXT_MENU_DEFAULT, &point, nullptr, nullptr), S_OK)
        << "S_OK: the host has dealt with the menu, so the page shows none";
    host_->SetContextMenuAllowed(true);
    EXPECT_EQ(ui->ShowContextMenu(CONTEXT_MENU_DEFAULT, &point, nullptr, nullptr), S_FALSE);
}

// The control asks its container's command target whether to show a script
// error of the page; the host says it dealt with it and the scripts run on.
TEST_F(BrowserHostTest, TheSiteKeepsScriptErrorsQuiet) {
    constexpr GUID kDocHostCommandHandler = {
        0xf38bc242, 0xb950, 0x11d1, {0x89, 0x18, 0x00, 0xc0, 0x4f, 0xc2, 0xc8, 0x36}};
    ASSERT_EQ(host_->CreateControl(L"about:quorra"), S_OK);
    ComPtr<IOleObject> control;
    ASSERT_EQ(host_->QueryControl(IID_PPV_ARGS(&control)), S_OK);
    ComPtr<IOleClientSite> site;
    ASSERT_EQ(control->GetClientSite(&site), S_OK);
    ComPtr<IOleCommandTarget> commands;
    ASSERT_EQ(site.As(&commands), S_OK);

    VARIANT out;
    ::VariantInit(&out);
    EXPECT_EQ(commands->Exec(&kDocHostCommandHandler, OLECMDID_SHOWSCRIPTERROR, 0, nullptr, &out),
              S_OK);
    EXPECT_EQ(V_VT(&out), VT_BOOL);
    EXPECT_EQ(V_BOOL(&out), VARIANT_TRUE) << "the page's scripts run on";
    EXPECT_EQ(commands->Exec(&kDocHostCommandHandler, OLECMDID_SHOWMESSAGE, 0, nullptr, &out),
              OLECMDERR_E_NOTSUPPORTED);
    EXPECT_EQ(commands->Exec(nullptr, OLECMDID_SHOWSCRIPTERROR, 0, nullptr, &out),
              OLECMDERR_E_UNKNOWNGROUP);
    EXPECT_EQ(commands->Exec(&IID_IUnknown, OLECMDID_SHOWSCRIPTERROR, 0, nullptr, &out),
              OLECMDERR_E_UNKNOWNGROUP);
}

TEST_F(BrowserHostTest, TheSiteOffersTheSecurityManagerSetOnTheHost) {
    ASSERT_EQ(host_->CreateControl(L"about:quorra"), S_OK);
    ComPtr<IOleObject> control;
    ASSERT_EQ(host_->QueryControl(IID_PPV_ARGS(&control)), S_OK);
    ComPtr<IOleClientSite> site;
    ASSERT_EQ(control->GetClientSite(&site), S_OK);
    ComPtr<IServiceProvider> services;
    ASSERT_EQ(site.As(&services), S_OK);

    ComPtr<IInternetSecurityManager> manager;
    EXPECT_EQ(services->QueryService(SID_SInternetSecurityManager, IID_PPV_ARGS(&manager)),
              E_NOINTERFACE);
    ComPtr<PageSecurity> security = PageSecurity::Create(u"about:quorra", {});
    host_->SetSecurityManager(security.Get());
    ASSERT_EQ(services->QueryService(SID_SInternetSecurityManager, IID_PPV_ARGS(&manager)), S_OK);
    EXPECT_EQ(manager.Get(), static_cast<IInternetSecurityManager*>(security.Get()));
    ComPtr<IUnknown> other;
    EXPECT_EQ(services->QueryService(IID_IOleClientSite, IID_PPV_ARGS(&other)), E_NOINTERFACE);
}

TEST_F(BrowserHostTest, TheControlsNavigationsReachTheConnectedSinkAndAreCancelled) {
    ASSERT_EQ(host_->CreateControl(L"about:quorra"), S_OK);
    RecordingHandler handler;
    ComPtr<BrowserEvents> sink = BrowserEvents::Create(&handler);
    ComPtr<IUnknown> control;
    ASSERT_EQ(host_->QueryControl(IID_PPV_ARGS(&control)), S_OK);
    ASSERT_EQ(sink->Connect(control.Get()), S_OK);
    EXPECT_EQ(sink->Connect(control.Get()), E_UNEXPECTED) << "connected once only";

    ComPtr<IWebBrowser2> browser = Browser();
    for (const wchar_t* target : {L"run:setup.exe", L"quit:"}) {
        Navigate(browser.Get(), target);
    }
    ASSERT_EQ(handler.navigations.size(), 2u);
    EXPECT_EQ(handler.navigations[0], u"run:setup.exe");
    EXPECT_EQ(handler.navigations[1], u"quit:");
    BSTR location = nullptr;
    ASSERT_EQ(browser->get_LocationURL(&location), S_OK);
    EXPECT_EQ(Text(location), L"about:quorra") << "the cancelled navigations went nowhere";

    sink->Disconnect();
    Navigate(browser.Get(), L"run:other.exe");
    EXPECT_EQ(handler.navigations.size(), 2u);
}

TEST_F(BrowserHostTest, ClosingTheHostWindowClosesTheControlAndTakesBackItsSite) {
    ASSERT_EQ(host_->CreateControl(L"about:quorra"), S_OK);
    ComPtr<IOleObject> control;
    ASSERT_EQ(host_->QueryControl(IID_PPV_ARGS(&control)), S_OK);
    ::DestroyWindow(window_);
    EXPECT_EQ(BrowserHost::FromWindow(window_), nullptr);
    ComPtr<IOleClientSite> site;
    control->GetClientSite(&site);
    EXPECT_FALSE(site);
}

TEST_F(BrowserHostTest, OneControlPerHostAndNoneBeforeItIsCreated) {
    ComPtr<IWebBrowser2> browser;
    EXPECT_EQ(host_->QueryControl(IID_PPV_ARGS(&browser)), E_NOINTERFACE);
    EXPECT_FALSE(browser);
    ASSERT_EQ(host_->CreateControl(L"about:quorra"), S_OK);
    EXPECT_EQ(host_->CreateControl(L"about:quorra"), E_UNEXPECTED);
    EXPECT_EQ(BrowserHost::FromWindow(parent_), nullptr) << "not a host window";
}

// The lines a debugger would be shown: OutputDebugString raises them as
// exceptions, which an exception handler of the process sees first.
std::vector<std::wstring> g_debug_lines;

LONG CALLBACK RecordDebugLine(EXCEPTION_POINTERS* pointers) {
    const EXCEPTION_RECORD& record = *pointers->ExceptionRecord;
    if (record.ExceptionCode == DBG_PRINTEXCEPTION_WIDE_C && record.NumberParameters >= 2) {
        g_debug_lines.emplace_back(
            reinterpret_cast<const wchar_t*>(record.ExceptionInformation[1]));
    } else if (record.ExceptionCode == DBG_PRINTEXCEPTION_C && record.NumberParameters >= 2) {
        const char* text = reinterpret_cast<const char*>(record.ExceptionInformation[1]);
        g_debug_lines.emplace_back(text, text + std::strlen(text));
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

// What the host does not provide, the control learns as E_NOTIMPL and a
// debugger as a line naming the method.
TEST_F(BrowserHostTest, WhatTheHostDoesNotProvideIsNamedForADebugger) {
    ASSERT_EQ(host_->CreateControl(L"about:quorra"), S_OK);
    ComPtr<IOleObject> control;
    ASSERT_EQ(host_->QueryControl(IID_PPV_ARGS(&control)), S_OK);
    ComPtr<IOleClientSite> site;
    ASSERT_EQ(control->GetClientSite(&site), S_OK);
    ComPtr<IOleInPlaceSite> in_place;
    ASSERT_EQ(site.As(&in_place), S_OK);

    g_debug_lines.clear();
    PVOID handler = ::AddVectoredExceptionHandler(1, RecordDebugLine);
    EXPECT_EQ(site->SaveObject(), E_NOTIMPL);
    EXPECT_EQ(in_place->Scroll(SIZE{1, 1}), E_NOTIMPL);
    ::RemoveVectoredExceptionHandler(handler);
    std::wstring lines;
    for (const std::wstring& line : g_debug_lines) {
        lines += line;
    }
    EXPECT_NE(lines.find(L"IOleClientSite::SaveObject"), std::wstring::npos);
    EXPECT_NE(lines.find(L"IOleInPlaceSite::Scroll"), std::wstring::npos);
}

}  // namespace
