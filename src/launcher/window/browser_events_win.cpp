#include "launcher/window/browser_events_win.h"

#include <exdisp.h>
#include <exdispid.h>

#include <utility>

#include "launcher/window/not_implemented_win.h"

using Microsoft::WRL::ComPtr;

namespace {

// The control passes the arguments last to first: argument `index` of `count`.
VARIANT* Argument(DISPPARAMS* parameters, UINT count, UINT index) {
    if (!parameters || parameters->cArgs != count || !parameters->rgvarg) {
        return nullptr;
    }
    return &parameters->rgvarg[count - 1 - index];
}

// A string argument, passed by reference to a variant that holds it.
bool ReadString(VARIANT* argument, std::u16string_view* text) {
    if (!argument) {
        return false;
    }
    if (V_VT(argument) == (VT_BYREF | VT_VARIANT) && V_VARIANTREF(argument)) {
        argument = V_VARIANTREF(argument);
    }
    if (V_VT(argument) != VT_BSTR) {
        return false;
    }
    BSTR value = V_BSTR(argument);
    *text =
        value ? std::u16string_view(Utf16Ptr(value), ::SysStringLen(value)) : std::u16string_view();
    return true;
}

// The Cancel argument: a boolean passed by reference.
VARIANT_BOOL* CancelFlag(VARIANT* argument) {
    if (!argument || V_VT(argument) != (VT_BYREF | VT_BOOL)) {
        return nullptr;
    }
    return V_BOOLREF(argument);
}

}  // namespace

ComPtr<BrowserEvents> BrowserEvents::Create(BrowserEventHandler* handler) {
    ComPtr<BrowserEvents> events;
    events.Attach(new BrowserEvents(handler));
    return events;
}

HRESULT BrowserEvents::Connect(IUnknown* control) {
    if (!control) {
        return E_POINTER;
    }
    if (connection_) {
        return E_UNEXPECTED;
    }
    ComPtr<IConnectionPointContainer> container;
    HRESULT result = control->QueryInterface(IID_PPV_ARGS(&container));
    if (FAILED(result)) {
        return result;
    }
    ComPtr<IConnectionPoint> connection;
    result = container->FindConnectionPoint(DIID_DWebBrowserEvents2, &connection);
    if (FAILED(result)) {
        return result;
    }
    result = connection->Advise(static_cast<IDispatch*>(this), &cookie_);
    if (FAILED(result)) {
        return result;
    }
    connection_ = connection;
    return S_OK;
}

void BrowserEvents::Disconnect() {
    handler_ = nullptr;
    if (connection_) {
        ComPtr<IConnectionPoint> connection = std::move(connection_);
        connection->Unadvise(cookie_);
    }
}

STDMETHODIMP BrowserEvents::QueryInterface(REFIID iid, void** object) {
    if (!object) {
        return E_POINTER;
    }
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) BrowserEvents::AddRef() {
    return ::InterlockedIncrement(&references_);
}

STDMETHODIMP_(ULONG) BrowserEvents::Release() {
    LONG left = ::InterlockedDecrement(&references_);
    if (left == 0) {
        delete this;
    }
    return left;
}

STDMETHODIMP BrowserEvents::GetTypeInfoCount(UINT* count) {
    *count = 0;
    return S_OK;
}

STDMETHODIMP BrowserEvents::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    *info = nullptr;
    return NotImplemented(L"IDispatch::GetTypeInfo (DWebBrowserEvents2)");
}

STDMETHODIMP BrowserEvents::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return DISP_E_UNKNOWNNAME;
}

// BeforeNavigate2 (pDisp, URL, Flags, TargetFrameName, PostData, Headers,
// Cancel) and NewWindow2 (ppDisp, Cancel); DocumentComplete and
// DownloadComplete are passed on without their arguments.
STDMETHODIMP BrowserEvents::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*,
                                   EXCEPINFO*, UINT*) {
    if (!handler_) {
        return S_OK;
    }
    switch (id) {
        case DISPID_BEFORENAVIGATE2: {
            std::u16string_view url;
            VARIANT_BOOL* cancel = CancelFlag(Argument(parameters, 7, 6));
            if (cancel && ReadString(Argument(parameters, 7, 1), &url) &&
                handler_->OnBeforeNavigate(url)) {
                *cancel = VARIANT_TRUE;
            }
            break;
        }
        case DISPID_NEWWINDOW2: {
            VARIANT_BOOL* cancel = CancelFlag(Argument(parameters, 2, 1));
            if (cancel && handler_->OnNewWindow()) {
                *cancel = VARIANT_TRUE;
            }
            break;
        }
        case DISPID_DOCUMENTCOMPLETE:
            handler_->OnDocumentComplete();
            break;
        case DISPID_DOWNLOADCOMPLETE:
            handler_->OnDownloadComplete();
            break;
    }
    return S_OK;
}
