#include <gtest/gtest.h>

#include <exdisp.h>
#include <exdispid.h>

#include <functional>

#include "browser_event_win.h"
#include "launcher/window/browser_events_win.h"
#include "recording_handler_win.h"

using Microsoft::WRL::ComPtr;

namespace {

TEST(BrowserEvents, BeforeNavigate2PassesTheUrlOnAndCancelsAsTheHandlerDecides) {
    for (bool cancel : {true, false}) {
        RecordingHandler handler;
        handler.cancel_navigation = cancel;
        ComPtr<BrowserEvents> sink = BrowserEvents::Create(&handler);
        BrowserEvent event;
        event.BeforeNavigate2(L"run:My%20Setup.exe");
        EXPECT_EQ(event.RaiseOn(sink.Get()), S_OK);
        ASSERT_EQ(handler.navigations.size(), 1u);
        EXPECT_EQ(handler.navigations[0], u"run:My%20Setup.exe");
        EXPECT_EQ(event.cancel(), cancel ? VARIANT_TRUE : VARIANT_FALSE);
        EXPECT_EQ(handler.new_windows + handler.documents + handler.downloads, 0);
    }
}

TEST(BrowserEvents, NewWindow2IsRefusedThroughItsCancelArgumentWithoutANavigation) {
    RecordingHandler handler;
    ComPtr<BrowserEvents> sink = BrowserEvents::Create(&handler);
    BrowserEvent event;
    event.NewWindow2();
    EXPECT_EQ(event.RaiseOn(sink.Get()), S_OK);
    EXPECT_EQ(handler.new_windows, 1);
    EXPECT_EQ(event.cancel(), VARIANT_TRUE);
    EXPECT_TRUE(handler.navigations.empty());
}

TEST(BrowserEvents, DocumentAndDownloadCompletionReachTheHandlerAndOtherEventsDoNot) {
    RecordingHandler handler;
    ComPtr<BrowserEvents> sink = BrowserEvents::Create(&handler);
    BrowserEvent event;
    event.DocumentComplete(L"about:quorra");
    event.RaiseOn(sink.Get());
    event.WithoutArguments(DISPID_DOWNLOADCOMPLETE);
    event.RaiseOn(sink.Get());
    event.RaiseOn(sink.Get());
    for (DISPID other : {DISPID_NAVIGATECOMPLETE2, DISPID_DOWNLOADBEGIN, DISPID_PROGRESSCHANGE,
                         DISPID_TITLECHANGE, DISPID_ONVISIBLE}) {
        event.WithoutArguments(other);
        EXPECT_EQ(event.RaiseOn(sink.Get()), S_OK);
    }
    EXPECT_EQ(handler.documents, 1);
    EXPECT_EQ(handler.downloads, 2);
    EXPECT_TRUE(handler.navigations.empty());
    EXPECT_EQ(handler.new_windows, 0);
}

// Layouts the control never sends are ignored: nothing reaches the handler and
// Cancel is left as it was.
TEST(BrowserEvents, ArgumentsLaidOutOtherwiseAreIgnored) {
    struct Case {
        const char* name;
        std::function<void(BrowserEvent&)> make;
    };
    const Case cases[] = {
        {"navigation with six arguments",
         [](BrowserEvent& event) {
             event.BeforeNavigate2(L"run:setup.exe");
             event.DropFirstArgument();
         }},
        {"navigation whose URL is a number",
         [](BrowserEvent& event) {
             event.BeforeNavigate2(L"run:setup.exe");
             VariantInit(&event.argument(1));
             V_VT(&event.argument(1)) = VT_I4;
         }},
        {"navigation whose Cancel is passed by value",
         [](BrowserEvent& event) {
             event.BeforeNavigate2(L"run:setup.exe");
             V_VT(&event.argument(6)) = VT_BOOL;
             V_BOOL(&event.argument(6)) = VARIANT_FALSE;
         }},
        {"new window without its Cancel",
         [](BrowserEvent& event) {
             event.NewWindow2();
             event.DropFirstArgument();
         }},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        RecordingHandler handler;
        ComPtr<BrowserEvents> sink = BrowserEvents::Create(&handler);
        BrowserEvent event;
        test.make(event);
        EXPECT_EQ(event.RaiseOn(sink.Get()), S_OK);
        EXPECT_TRUE(handler.navigations.empty());
        EXPECT_EQ(handler.new_windows, 0);
        EXPECT_EQ(event.cancel(), VARIANT_FALSE);
    }
    RecordingHandler handler;
    ComPtr<BrowserEvents> sink = BrowserEvents::Create(&handler);
    EXPECT_EQ(sink->Invoke(DISPID_BEFORENAVIGATE2, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr,
                           nullptr, nullptr),
              S_OK);
    EXPECT_TRUE(handler.navigations.empty());
}

TEST(BrowserEvents, ADisconnectedSinkPassesNothingOn) {
    RecordingHandler handler;
    ComPtr<BrowserEvents> sink = BrowserEvents::Create(&handler);
    sink->Disconnect();
    BrowserEvent event;
    event.BeforeNavigate2(L"quit:");
    event.RaiseOn(sink.Get());
    event.DocumentComplete(L"about:quorra");
    event.RaiseOn(sink.Get());
    EXPECT_TRUE(handler.navigations.empty());
    EXPECT_EQ(handler.documents, 0);
}

TEST(BrowserEvents, AnswersAsTheEventInterfaceAndConnectsOnlyToAControlWithEvents) {
    RecordingHandler handler;
    ComPtr<BrowserEvents> sink = BrowserEvents::Create(&handler);
    ComPtr<IDispatch> events;
    EXPECT_EQ(sink->QueryInterface(DIID_DWebBrowserEvents2, &events), S_OK);
    ComPtr<IUnknown> unknown;
    EXPECT_EQ(sink->QueryInterface(IID_PPV_ARGS(&unknown)), S_OK);
    ComPtr<IWebBrowser2> not_a_browser;
    EXPECT_EQ(sink->QueryInterface(IID_PPV_ARGS(&not_a_browser)), E_NOINTERFACE);
    // Something without connection points: the sink itself.
    EXPECT_EQ(sink->Connect(unknown.Get()), E_NOINTERFACE);
}

}  // namespace
