#pragma once

#include "base/win.h"

#include <oaidl.h>

// One DWebBrowserEvents2 event with its arguments laid out as the web-browser
// control raises it: last argument first; strings and flags by reference to
// variants that hold them; Cancel by reference to a VARIANT_BOOL. The
// arguments point into the object, which therefore stays where it was made.
class BrowserEvent {
public:
    BrowserEvent();
    ~BrowserEvent();
    BrowserEvent(const BrowserEvent&) = delete;
    BrowserEvent& operator=(const BrowserEvent&) = delete;

    // BeforeNavigate2 (pDisp, URL, Flags, TargetFrameName, PostData, Headers,
    // Cancel).
    void BeforeNavigate2(const wchar_t* url);
    // NewWindow2 (ppDisp, Cancel).
    void NewWindow2();
    // DocumentComplete (pDisp, URL).
    void DocumentComplete(const wchar_t* url);
    // DownloadComplete, or any other event, without arguments.
    void WithoutArguments(DISPID id);

    HRESULT RaiseOn(IDispatch* sink);

    VARIANT_BOOL cancel() const { return cancel_; }

    // For the layouts the control never sends: argument `index` counted from
    // the first, and an event with one argument fewer.
    VARIANT& argument(UINT index) { return arguments_[count_ - 1 - index]; }
    void DropFirstArgument() { --count_; }

private:
    void Begin(DISPID id, UINT count);
    static void ByReference(VARIANT* argument, VARIANT* target);
    static void SetString(VARIANT* variant, const wchar_t* text);

    DISPID id_ = DISPID_UNKNOWN;
    UINT count_ = 0;
    VARIANT arguments_[7];
    VARIANT url_, flags_, frame_, post_data_, no_post_data_, headers_;
    VARIANT_BOOL cancel_ = VARIANT_FALSE;
    IDispatch* new_window_ = nullptr;
};
