#include "launcher/window/browser_host_win.h"

#include <olectl.h>

#include <utility>

#include "launcher/window/not_implemented_win.h"

using Microsoft::WRL::ComPtr;

namespace {

// The document host's command group (mshtmhst.h declares it; no import
// library defines it).
constexpr GUID kDocHostCommandHandler = {
    0xf38bc242, 0xb950, 0x11d1, {0x89, 0x18, 0x00, 0xc0, 0x4f, 0xc2, 0xc8, 0x36}};

}  // namespace

// The window and the host object.

bool BrowserHost::RegisterWindowClass() {
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof(window_class);
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    if (::GetClassInfoExW(instance, kWindowClass, &window_class)) {
        return true;
    }
    window_class.lpfnWndProc = WindowProc;
    window_class.hInstance = instance;
    window_class.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    window_class.lpszClassName = kWindowClass;
    return ::RegisterClassExW(&window_class) != 0;
}

BrowserHost* BrowserHost::FromWindow(HWND window) {
    wchar_t class_name[64];
    if (!::GetClassNameW(window, class_name, ARRAYSIZE(class_name)) ||
        ::lstrcmpW(class_name, kWindowClass) != 0) {
        return nullptr;
    }
    return reinterpret_cast<BrowserHost*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

LRESULT CALLBACK BrowserHost::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* host = reinterpret_cast<BrowserHost*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
        case WM_NCCREATE:
            ::SetWindowLongPtrW(window, GWLP_USERDATA,
                                reinterpret_cast<LONG_PTR>(new BrowserHost(window)));
            break;
        case WM_SIZE:
            host->Resize();
            return 0;
        case WM_SETFOCUS:
            host->Focus();
            return 0;
        case WM_DESTROY:
            host->CloseControl();
            return 0;
        case WM_NCDESTROY:
            ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            host->window_ = nullptr;
            host->Release();
            return 0;
    }
    return ::DefWindowProcW(window, message, wparam, lparam);
}

HRESULT BrowserHost::CreateControl(const wchar_t* url) {
    if (control_) {
        return E_UNEXPECTED;
    }
    ComPtr<IOleObject> control;
    HRESULT result =
        ::CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&control));
    if (FAILED(result)) {
        return result;
    }
    result = control->SetClientSite(this);
    if (FAILED(result)) {
        return result;
    }
    control_ = control;
    RECT area;
    ::GetClientRect(window_, &area);
    result = control->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, this, 0, window_, &area);
    if (FAILED(result)) {
        CloseControl();
        return result;
    }
    ComPtr<IWebBrowser2> browser;
    result = control.As(&browser);
    if (SUCCEEDED(result)) {
        BSTR address = ::SysAllocString(url);
        result = address ? browser->Navigate(address, nullptr, nullptr, nullptr, nullptr)
                         : E_OUTOFMEMORY;
        ::SysFreeString(address);
    }
    if (FAILED(result)) {
        CloseControl();
    }
    return result;
}

HRESULT BrowserHost::QueryControl(REFIID iid, void** object) {
    *object = nullptr;
    return control_ ? control_->QueryInterface(iid, object) : E_NOINTERFACE;
}

void BrowserHost::Resize() {
    ComPtr<IOleInPlaceObject> in_place;
    if (SUCCEEDED(QueryControl(IID_PPV_ARGS(&in_place)))) {
        RECT area;
        ::GetClientRect(window_, &area);
        in_place->SetObjectRects(&area, &area);
    }
}

// The keyboard focus goes to the page: the control becomes UI-active.
void BrowserHost::Focus() {
    if (control_) {
        RECT area;
        ::GetClientRect(window_, &area);
        control_->DoVerb(OLEIVERB_UIACTIVATE, nullptr, this, 0, window_, &area);
    }
}

// Deactivates and closes the control and takes the site back, which lets the
// control release this host.
void BrowserHost::CloseControl() {
    if (!control_) {
        return;
    }
    ComPtr<IOleObject> control = std::move(control_);
    ComPtr<IOleInPlaceObject> in_place;
    if (SUCCEEDED(control.As(&in_place))) {
        in_place->InPlaceDeactivate();
    }
    control->Close(OLECLOSE_NOSAVE);
    control->SetClientSite(nullptr);
}

// IUnknown

STDMETHODIMP BrowserHost::QueryInterface(REFIID iid, void** object) {
    if (!object) {
        return E_POINTER;
    }
    if (iid == IID_IUnknown || iid == IID_IOleClientSite) {
        *object = static_cast<IOleClientSite*>(this);
    } else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite) {
        *object = static_cast<IOleInPlaceSite*>(this);
    } else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame) {
        *object = static_cast<IOleInPlaceFrame*>(this);
    } else if (iid == IID_IDocHostUIHandler) {
        *object = static_cast<IDocHostUIHandler*>(this);
    } else if (iid == IID_IDispatch) {
        *object = static_cast<IDispatch*>(this);
    } else if (iid == IID_IOleCommandTarget) {
        *object = static_cast<IOleCommandTarget*>(this);
    } else if (iid == IID_IServiceProvider) {
        *object = static_cast<IServiceProvider*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) BrowserHost::AddRef() {
    return ::InterlockedIncrement(&references_);
}

STDMETHODIMP_(ULONG) BrowserHost::Release() {
    LONG left = ::InterlockedDecrement(&references_);
    if (left == 0) {
        delete this;
    }
    return left;
}

// IOleClientSite: the control lives in memory only; nothing to save or name.

STDMETHODIMP BrowserHost::SaveObject() {
    return NotImplemented(L"IOleClientSite::SaveObject");
}

STDMETHODIMP BrowserHost::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
    *moniker = nullptr;
    return NotImplemented(L"IOleClientSite::GetMoniker");
}

STDMETHODIMP BrowserHost::GetContainer(IOleContainer** container) {
    *container = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP BrowserHost::ShowObject() {
    return S_OK;
}

STDMETHODIMP BrowserHost::OnShowWindow(BOOL) {
    return S_OK;
}

STDMETHODIMP BrowserHost::RequestNewObjectLayout() {
    return NotImplemented(L"IOleClientSite::RequestNewObjectLayout");
}

// IOleWindow

STDMETHODIMP BrowserHost::GetWindow(HWND* window) {
    *window = window_;
    return window_ ? S_OK : E_FAIL;
}

STDMETHODIMP BrowserHost::ContextSensitiveHelp(BOOL) {
    return NotImplemented(L"IOleWindow::ContextSensitiveHelp");
}

// IOleInPlaceSite: the control covers the host window's client area.

STDMETHODIMP BrowserHost::CanInPlaceActivate() {
    return window_ ? S_OK : S_FALSE;
}

STDMETHODIMP BrowserHost::OnInPlaceActivate() {
    return S_OK;
}

STDMETHODIMP BrowserHost::OnUIActivate() {
    return S_OK;
}

STDMETHODIMP BrowserHost::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                           RECT* position, RECT* clip,
                                           OLEINPLACEFRAMEINFO* frame_info) {
    *frame = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    *document = nullptr;
    ::GetClientRect(window_, position);
    *clip = *position;
    frame_info->cb = sizeof(OLEINPLACEFRAMEINFO);
    frame_info->fMDIApp = FALSE;
    frame_info->hwndFrame = ::GetAncestor(window_, GA_ROOT);
    frame_info->haccel = nullptr;
    frame_info->cAccelEntries = 0;
    return S_OK;
}

STDMETHODIMP BrowserHost::Scroll(SIZE) {
    return NotImplemented(L"IOleInPlaceSite::Scroll");
}

STDMETHODIMP BrowserHost::OnUIDeactivate(BOOL) {
    return S_OK;
}

STDMETHODIMP BrowserHost::OnInPlaceDeactivate() {
    return S_OK;
}

STDMETHODIMP BrowserHost::DiscardUndoState() {
    return NotImplemented(L"IOleInPlaceSite::DiscardUndoState");
}

STDMETHODIMP BrowserHost::DeactivateAndUndo() {
    return NotImplemented(L"IOleInPlaceSite::DeactivateAndUndo");
}

STDMETHODIMP BrowserHost::OnPosRectChange(const RECT* position) {
    ComPtr<IOleInPlaceObject> in_place;
    if (SUCCEEDED(QueryControl(IID_PPV_ARGS(&in_place)))) {
        in_place->SetObjectRects(position, position);
    }
    return S_OK;
}

// IOleInPlaceUIWindow and IOleInPlaceFrame

STDMETHODIMP BrowserHost::GetBorder(RECT*) {
    return INPLACE_E_NOTOOLSPACE;
}

STDMETHODIMP BrowserHost::RequestBorderSpace(const BORDERWIDTHS*) {
    return INPLACE_E_NOTOOLSPACE;
}

STDMETHODIMP BrowserHost::SetBorderSpace(const BORDERWIDTHS*) {
    return INPLACE_E_NOTOOLSPACE;
}

STDMETHODIMP BrowserHost::SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) {
    return S_OK;
}

STDMETHODIMP BrowserHost::InsertMenus(HMENU, OLEMENUGROUPWIDTHS*) {
    return NotImplemented(L"IOleInPlaceFrame::InsertMenus");
}

STDMETHODIMP BrowserHost::SetMenu(HMENU, HOLEMENU, HWND) {
    return S_OK;
}

STDMETHODIMP BrowserHost::RemoveMenus(HMENU) {
    return NotImplemented(L"IOleInPlaceFrame::RemoveMenus");
}

STDMETHODIMP BrowserHost::SetStatusText(LPCOLESTR) {
    return S_OK;
}

STDMETHODIMP BrowserHost::EnableModeless(BOOL) {
    return S_OK;
}

STDMETHODIMP BrowserHost::TranslateAccelerator(MSG*, WORD) {
    return S_FALSE;
}

// IDocHostUIHandler: the page's context menu and layout flags come from the
// host's settings; everything else is the control's default.

STDMETHODIMP BrowserHost::ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) {
    // S_OK: the host has handled the menu, so the page shows none.
    return context_menu_allowed_ ? S_FALSE : S_OK;
}

STDMETHODIMP BrowserHost::GetHostInfo(DOCHOSTUIINFO* info) {
    if (!info || info->cbSize < sizeof(DOCHOSTUIINFO)) {
        return E_INVALIDARG;
    }
    info->dwFlags = doc_host_flags_;
    info->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
    info->pchHostCss = nullptr;
    info->pchHostNS = nullptr;
    return S_OK;
}

STDMETHODIMP BrowserHost::ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*,
                                 IOleInPlaceFrame*, IOleInPlaceUIWindow*) {
    return S_FALSE;
}

STDMETHODIMP BrowserHost::HideUI() {
    return S_OK;
}

STDMETHODIMP BrowserHost::UpdateUI() {
    return S_OK;
}

STDMETHODIMP BrowserHost::OnDocWindowActivate(BOOL) {
    return S_OK;
}

STDMETHODIMP BrowserHost::OnFrameWindowActivate(BOOL) {
    return S_OK;
}

STDMETHODIMP BrowserHost::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) {
    return S_OK;
}

STDMETHODIMP BrowserHost::TranslateAccelerator(LPMSG, const GUID*, DWORD) {
    return S_FALSE;
}

STDMETHODIMP BrowserHost::GetOptionKeyPath(LPOLESTR* key, DWORD) {
    *key = nullptr;
    return S_FALSE;
}

STDMETHODIMP BrowserHost::GetDropTarget(IDropTarget*, IDropTarget** host_target) {
    *host_target = nullptr;
    return NotImplemented(L"IDocHostUIHandler::GetDropTarget");
}

STDMETHODIMP BrowserHost::GetExternal(IDispatch** external) {
    *external = nullptr;
    return S_FALSE;
}

STDMETHODIMP BrowserHost::TranslateUrl(DWORD, LPWSTR, LPWSTR* translated) {
    *translated = nullptr;
    return S_FALSE;
}

STDMETHODIMP BrowserHost::FilterDataObject(IDataObject*, IDataObject** filtered) {
    *filtered = nullptr;
    return S_FALSE;
}

// IDispatch: ambient properties. The control runs in user mode and draws no
// handles or hatching of a design surface; any other property is the control's
// default.

STDMETHODIMP BrowserHost::GetTypeInfoCount(UINT* count) {
    *count = 0;
    return S_OK;
}

STDMETHODIMP BrowserHost::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    *info = nullptr;
    return NotImplemented(L"IDispatch::GetTypeInfo (ambient properties)");
}

STDMETHODIMP BrowserHost::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return DISP_E_UNKNOWNNAME;
}

STDMETHODIMP BrowserHost::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result,
                                 EXCEPINFO*, UINT*) {
    if (!(flags & DISPATCH_PROPERTYGET) || !result) {
        return DISP_E_MEMBERNOTFOUND;
    }
    switch (id) {
        case DISPID_AMBIENT_USERMODE:
            V_VT(result) = VT_BOOL;
            V_BOOL(result) = VARIANT_TRUE;
            return S_OK;
        case DISPID_AMBIENT_SHOWGRABHANDLES:
        case DISPID_AMBIENT_SHOWHATCHING:
            V_VT(result) = VT_BOOL;
            V_BOOL(result) = VARIANT_FALSE;
            return S_OK;
    }
    return DISP_E_MEMBERNOTFOUND;
}

// IOleCommandTarget: a script error in the page asks the host whether to show
// it. S_OK with true says it was dealt with and the page's scripts run on: no
// error box and no debugger prompt over the menu.

STDMETHODIMP BrowserHost::QueryStatus(const GUID* group, ULONG, OLECMD*, OLECMDTEXT*) {
    return group && *group == kDocHostCommandHandler ? OLECMDERR_E_NOTSUPPORTED
                                                     : OLECMDERR_E_UNKNOWNGROUP;
}

STDMETHODIMP BrowserHost::Exec(const GUID* group, DWORD id, DWORD, VARIANT*, VARIANT* out) {
    if (!group || *group != kDocHostCommandHandler) {
        return OLECMDERR_E_UNKNOWNGROUP;
    }
    if (id != OLECMDID_SHOWSCRIPTERROR) {
        return OLECMDERR_E_NOTSUPPORTED;
    }
    if (out) {
        ::VariantClear(out);
        V_VT(out) = VT_BOOL;
        V_BOOL(out) = VARIANT_TRUE;
    }
    return S_OK;
}

// IServiceProvider

STDMETHODIMP BrowserHost::QueryService(REFGUID service, REFIID iid, void** object) {
    if (!object) {
        return E_POINTER;
    }
    *object = nullptr;
    if (service == SID_SInternetSecurityManager && security_manager_) {
        return security_manager_->QueryInterface(iid, object);
    }
    return E_NOINTERFACE;
}
