#pragma once

#include "base/win.h"

#include <oaidl.h>
#include <ocidl.h>
#include <wrl/client.h>

#include <string_view>

// What the launcher's window does with the web-browser control's events. The
// control calls these from inside its own code, which no exception may cross.
class BrowserEventHandler {
public:
    virtual ~BrowserEventHandler() = default;

    // The page is about to navigate to `url`; true cancels the navigation.
    virtual bool OnBeforeNavigate(std::u16string_view url) noexcept = 0;
    // The page asks for a new browser window; true refuses it.
    virtual bool OnNewWindow() noexcept = 0;
    virtual void OnDocumentComplete() noexcept = 0;
    virtual void OnDownloadComplete() noexcept = 0;
};

// The sink of the control's DWebBrowserEvents2 events: it reads the events'
// arguments as the control lays them out and passes BeforeNavigate2,
// NewWindow2, DocumentComplete and DownloadComplete on to a handler; every
// other event is ignored. An event whose arguments are not laid out as
// expected is ignored too.
class BrowserEvents final : public IDispatch {
public:
    static Microsoft::WRL::ComPtr<BrowserEvents> Create(BrowserEventHandler* handler);

    // Connects the sink to the control's connection point for the events; the
    // result of the first step that failed, or S_OK.
    HRESULT Connect(IUnknown* control);
    // Disconnects the sink; from then on it passes nothing on.
    void Disconnect();

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IDispatch
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                               DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                        VARIANT* result, EXCEPINFO* exception, UINT* argument_error) override;

private:
    explicit BrowserEvents(BrowserEventHandler* handler) : handler_(handler) {}
    ~BrowserEvents() = default;

    LONG references_ = 1;
    BrowserEventHandler* handler_;
    Microsoft::WRL::ComPtr<IConnectionPoint> connection_;
    DWORD cookie_ = 0;
};
