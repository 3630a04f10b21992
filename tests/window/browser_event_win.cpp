#include "browser_event_win.h"

#include <exdispid.h>

#include <initializer_list>

BrowserEvent::BrowserEvent() {
    for (VARIANT* variant : {&url_, &flags_, &frame_, &post_data_, &no_post_data_, &headers_}) {
        ::VariantInit(variant);
    }
    for (VARIANT& argument : arguments_) {
        ::VariantInit(&argument);
    }
}

BrowserEvent::~BrowserEvent() {
    ::VariantClear(&url_);
    ::VariantClear(&frame_);
    ::VariantClear(&headers_);
}

void BrowserEvent::Begin(DISPID id, UINT count) {
    id_ = id;
    count_ = count;
    cancel_ = VARIANT_FALSE;
}

void BrowserEvent::ByReference(VARIANT* argument, VARIANT* target) {
    V_VT(argument) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(argument) = target;
}

void BrowserEvent::SetString(VARIANT* variant, const wchar_t* text) {
    ::VariantClear(variant);
    V_VT(variant) = VT_BSTR;
    V_BSTR(variant) = ::SysAllocString(text);
}

void BrowserEvent::BeforeNavigate2(const wchar_t* url) {
    Begin(DISPID_BEFORENAVIGATE2, 7);
    SetString(&url_, url);
    V_VT(&flags_) = VT_I4;
    V_I4(&flags_) = 0;
    SetString(&frame_, L"");
    ByReference(&post_data_, &no_post_data_);
    SetString(&headers_, L"");
    V_VT(&argument(0)) = VT_DISPATCH;
    V_DISPATCH(&argument(0)) = nullptr;
    ByReference(&argument(1), &url_);
    ByReference(&argument(2), &flags_);
    ByReference(&argument(3), &frame_);
    ByReference(&argument(4), &post_data_);
    ByReference(&argument(5), &headers_);
    V_VT(&argument(6)) = VT_BYREF | VT_BOOL;
    V_BOOLREF(&argument(6)) = &cancel_;
}

void BrowserEvent::NewWindow2() {
    Begin(DISPID_NEWWINDOW2, 2);
    V_VT(&argument(0)) = VT_BYREF | VT_DISPATCH;
    V_DISPATCHREF(&argument(0)) = &new_window_;
    V_VT(&argument(1)) = VT_BYREF | VT_BOOL;
    V_BOOLREF(&argument(1)) = &cancel_;
}

void BrowserEvent::DocumentComplete(const wchar_t* url) {
    Begin(DISPID_DOCUMENTCOMPLETE, 2);
    SetString(&url_, url);
    V_VT(&argument(0)) = VT_DISPATCH;
    V_DISPATCH(&argument(0)) = nullptr;
    ByReference(&argument(1), &url_);
}

void BrowserEvent::WithoutArguments(DISPID id) {
    Begin(id, 0);
}

HRESULT BrowserEvent::RaiseOn(IDispatch* sink) {
    DISPPARAMS parameters{count_ ? arguments_ : nullptr, nullptr, count_, 0};
    return sink->Invoke(id_, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, nullptr,
                        nullptr, nullptr);
}
