#pragma once

#include "base/win.h"

#include <docobj.h>
#include <exdisp.h>
#include <mshtmhst.h>
#include <servprov.h>
#include <urlmon.h>
#include <wrl/client.h>

// The host of the platform's web-browser control: a child window of its own
// class that holds the control, activated in place, and answers it as its
// container (client site, in-place site and frame, document host, ambient
// properties). The window owns the host object: it is made with the window and
// closes the control and goes with it.
//
// The document host settings play the part of the container's ambient
// properties: whether the page may show a context menu, and the DOCHOSTUIFLAG
// bits the page is laid out with. The page's script errors are never shown:
// the host answers the control's question about them (IOleCommandTarget) by
// letting the page's scripts run on without a word. A security manager set on
// the host is offered to the control as its service (IServiceProvider).
class BrowserHost final : public IOleClientSite,
                          public IOleInPlaceSite,
                          public IOleInPlaceFrame,
                          public IDocHostUIHandler,
                          public IDispatch,
                          public IOleCommandTarget,
                          public IServiceProvider {
public:
    // The host window class. Register it once before making host windows
    // (later calls do nothing).
    static constexpr wchar_t kWindowClass[] = L"OrvBrowserHost";
    static bool RegisterWindowClass();

    // The host of a window of the class; null for any other window.
    static BrowserHost* FromWindow(HWND window);

    // Creates the web-browser control in the host window, activates it in
    // place over the window's client area and navigates it to `url`. The
    // result of the first step that failed, or S_OK.
    HRESULT CreateControl(const wchar_t* url);

    // The control, asked for one of its interfaces; E_NOINTERFACE when there
    // is no control.
    HRESULT QueryControl(REFIID iid, void** object);

    void SetContextMenuAllowed(bool allowed) { context_menu_allowed_ = allowed; }
    void SetDocHostFlags(DWORD flags) { doc_host_flags_ = flags; }
    DWORD DocHostFlags() const { return doc_host_flags_; }
    // Where the control asks about zones and URL actions first; without one
    // the system decides alone.
    void SetSecurityManager(IInternetSecurityManager* manager) { security_manager_ = manager; }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IOleClientSite
    STDMETHODIMP SaveObject() override;
    STDMETHODIMP GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
    STDMETHODIMP GetContainer(IOleContainer** container) override;
    STDMETHODIMP ShowObject() override;
    STDMETHODIMP OnShowWindow(BOOL show) override;
    STDMETHODIMP RequestNewObjectLayout() override;

    // IOleWindow (of the in-place site and the frame alike: the host window)
    STDMETHODIMP GetWindow(HWND* window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL enter) override;

    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override;
    STDMETHODIMP OnInPlaceActivate() override;
    STDMETHODIMP OnUIActivate() override;
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                  RECT* position, RECT* clip,
                                  OLEINPLACEFRAMEINFO* frame_info) override;
    STDMETHODIMP Scroll(SIZE extent) override;
    STDMETHODIMP OnUIDeactivate(BOOL undoable) override;
    STDMETHODIMP OnInPlaceDeactivate() override;
    STDMETHODIMP DiscardUndoState() override;
    STDMETHODIMP DeactivateAndUndo() override;
    STDMETHODIMP OnPosRectChange(const RECT* position) override;

    // IOleInPlaceUIWindow and IOleInPlaceFrame: no tool bars, menus or status
    // line of a frame.
    STDMETHODIMP GetBorder(RECT* border) override;
    STDMETHODIMP RequestBorderSpace(const BORDERWIDTHS* widths) override;
    STDMETHODIMP SetBorderSpace(const BORDERWIDTHS* widths) override;
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR name) override;
    STDMETHODIMP InsertMenus(HMENU menu, OLEMENUGROUPWIDTHS* widths) override;
    STDMETHODIMP SetMenu(HMENU menu, HOLEMENU ole_menu, HWND active_object) override;
    STDMETHODIMP RemoveMenus(HMENU menu) override;
    STDMETHODIMP SetStatusText(LPCOLESTR text) override;
    STDMETHODIMP EnableModeless(BOOL enable) override;
    STDMETHODIMP TranslateAccelerator(MSG* message, WORD id) override;

    // IDocHostUIHandler
    STDMETHODIMP ShowContextMenu(DWORD id, POINT* point, IUnknown* target,
                                 IDispatch* object) override;
    STDMETHODIMP GetHostInfo(DOCHOSTUIINFO* info) override;
    STDMETHODIMP ShowUI(DWORD id, IOleInPlaceActiveObject* object, IOleCommandTarget* target,
                        IOleInPlaceFrame* frame, IOleInPlaceUIWindow* document) override;
    STDMETHODIMP HideUI() override;
    STDMETHODIMP UpdateUI() override;
    STDMETHODIMP OnDocWindowActivate(BOOL activate) override;
    STDMETHODIMP OnFrameWindowActivate(BOOL activate) override;
    STDMETHODIMP ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window,
                              BOOL frame_window) override;
    STDMETHODIMP TranslateAccelerator(LPMSG message, const GUID* group, DWORD id) override;
    STDMETHODIMP GetOptionKeyPath(LPOLESTR* key, DWORD reserved) override;
    STDMETHODIMP GetDropTarget(IDropTarget* target, IDropTarget** host_target) override;
    STDMETHODIMP GetExternal(IDispatch** external) override;
    STDMETHODIMP TranslateUrl(DWORD translate, LPWSTR url, LPWSTR* translated) override;
    STDMETHODIMP FilterDataObject(IDataObject* object, IDataObject** filtered) override;

    // IDispatch: the ambient properties the control reads from its site.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                               DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                        VARIANT* result, EXCEPINFO* exception, UINT* argument_error) override;

    // IOleCommandTarget: the document host's commands; of them only
    // OLECMDID_SHOWSCRIPTERROR is answered.
    STDMETHODIMP QueryStatus(const GUID* group, ULONG count, OLECMD* commands,
                             OLECMDTEXT* text) override;
    STDMETHODIMP Exec(const GUID* group, DWORD id, DWORD options, VARIANT* in,
                      VARIANT* out) override;

    // IServiceProvider
    STDMETHODIMP QueryService(REFGUID service, REFIID iid, void** object) override;

private:
    explicit BrowserHost(HWND window) : window_(window) {}
    ~BrowserHost() = default;

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    void Resize();
    void Focus();
    void CloseControl();

    LONG references_ = 1;
    HWND window_;
    Microsoft::WRL::ComPtr<IOleObject> control_;
    bool context_menu_allowed_ = true;
    DWORD doc_host_flags_ = 0;
    Microsoft::WRL::ComPtr<IInternetSecurityManager> security_manager_;
};
