#include "launcher/window/page_security_win.h"

#include <utility>

#include "launcher/page/html_scan.h"
#include "launcher/page/medium_address.h"

using Microsoft::WRL::ComPtr;

ComPtr<PageSecurity> PageSecurity::Create(std::u16string_view page_url,
                                          std::vector<BaseString> folder_urls) {
    ComPtr<PageSecurity> security;
    security.Attach(new PageSecurity(page_url, std::move(folder_urls)));
    return security;
}

bool PageSecurity::Covers(std::u16string_view url) const {
    if (SameIgnoringAsciiCase(url, page_url_.view())) {
        return true;
    }
    for (const BaseString& folder : folder_urls_) {
        if (IsFileUrlInFolder(url, folder.view())) {
            return true;
        }
    }
    return false;
}

STDMETHODIMP PageSecurity::QueryInterface(REFIID iid, void** object) {
    if (!object) {
        return E_POINTER;
    }
    if (iid == IID_IUnknown || iid == IID_IInternetSecurityManager) {
        *object = static_cast<IInternetSecurityManager*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) PageSecurity::AddRef() {
    return ::InterlockedIncrement(&references_);
}

STDMETHODIMP_(ULONG) PageSecurity::Release() {
    LONG left = ::InterlockedDecrement(&references_);
    if (left == 0) {
        delete this;
    }
    return left;
}

// The site is the system's business: this manager asks nobody.

STDMETHODIMP PageSecurity::SetSecuritySite(IInternetSecurityMgrSite*) {
    return E_NOTIMPL;
}

STDMETHODIMP PageSecurity::GetSecuritySite(IInternetSecurityMgrSite** site) {
    if (site) {
        *site = nullptr;
    }
    return E_NOTIMPL;
}

STDMETHODIMP PageSecurity::MapUrlToZone(LPCWSTR url, DWORD* zone, DWORD) {
    if (!url || !zone) {
        return E_INVALIDARG;
    }
    if (!Covers(Utf16Ptr(url))) {
        return INET_E_DEFAULT_ACTION;
    }
    *zone = URLZONE_TRUSTED;
    return S_OK;
}

STDMETHODIMP PageSecurity::GetSecurityId(LPCWSTR, BYTE*, DWORD*, DWORD_PTR) {
    return INET_E_DEFAULT_ACTION;
}

// Whatever the trusted-sites zone is set to, the page's own script runs: the
// launcher shows and hides its elements through it.
STDMETHODIMP PageSecurity::ProcessUrlAction(LPCWSTR url, DWORD action, BYTE* policy,
                                            DWORD policy_size, BYTE*, DWORD, DWORD, DWORD) {
    if (action != URLACTION_SCRIPT_RUN || !url || !Covers(Utf16Ptr(url)) || !policy ||
        policy_size < sizeof(DWORD)) {
        return INET_E_DEFAULT_ACTION;
    }
    *reinterpret_cast<DWORD*>(policy) = URLPOLICY_ALLOW;
    return S_OK;
}

STDMETHODIMP PageSecurity::QueryCustomPolicy(LPCWSTR, REFGUID, BYTE**, DWORD*, BYTE*, DWORD,
                                             DWORD) {
    return INET_E_DEFAULT_ACTION;
}

STDMETHODIMP PageSecurity::SetZoneMapping(DWORD, LPCWSTR, DWORD) {
    return INET_E_DEFAULT_ACTION;
}

STDMETHODIMP PageSecurity::GetZoneMappings(DWORD, IEnumString**, DWORD) {
    return INET_E_DEFAULT_ACTION;
}
