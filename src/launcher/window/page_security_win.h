#pragma once

#include "base/win.h"

#include <urlmon.h>
#include <wrl/client.h>

#include <string_view>
#include <vector>

#include "base/string.h"

// The security manager of the launcher's page, asked by the web-browser
// control before the system's. Only the launcher's own page (the placeholder
// address its text is handed over behind) and the files inside the medium's
// folders are its concern: they are in the trusted-sites zone, and the page
// may run its script. Every other address gets the system's answer.
//
// The page is the medium's own, yet lies at an "about:" address, and the
// system puts that in the Internet zone, which enhanced security (the default
// for administrators of Windows Server) sets to run no script; the medium's
// files would be in another zone again. In the trusted-sites zone the page
// runs no more than the medium's author wrote, and less than a page opened
// from the medium's folder could; addresses outside the medium, other local
// files among them, keep their zone.
class PageSecurity final : public IInternetSecurityManager {
public:
    // `page_url`: the page's own address; `folder_urls`: the medium's folders
    // as "file" URLs (FolderFileUrl).
    static Microsoft::WRL::ComPtr<PageSecurity> Create(std::u16string_view page_url,
                                                       std::vector<BaseString> folder_urls);

    // The page's address, or a file inside one of the folders.
    bool Covers(std::u16string_view url) const;

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IInternetSecurityManager
    STDMETHODIMP SetSecuritySite(IInternetSecurityMgrSite* site) override;
    STDMETHODIMP GetSecuritySite(IInternetSecurityMgrSite** site) override;
    STDMETHODIMP MapUrlToZone(LPCWSTR url, DWORD* zone, DWORD flags) override;
    STDMETHODIMP GetSecurityId(LPCWSTR url, BYTE* id, DWORD* size, DWORD_PTR reserved) override;
    STDMETHODIMP ProcessUrlAction(LPCWSTR url, DWORD action, BYTE* policy, DWORD policy_size,
                                  BYTE* context, DWORD context_size, DWORD flags,
                                  DWORD reserved) override;
    STDMETHODIMP QueryCustomPolicy(LPCWSTR url, REFGUID key, BYTE** policy, DWORD* policy_size,
                                   BYTE* context, DWORD context_size, DWORD reserved) override;
    STDMETHODIMP SetZoneMapping(DWORD zone, LPCWSTR pattern, DWORD flags) override;
    STDMETHODIMP GetZoneMappings(DWORD zone, IEnumString** mappings, DWORD flags) override;

private:
    PageSecurity(std::u16string_view page_url, std::vector<BaseString> folder_urls)
        : page_url_(page_url), folder_urls_(std::move(folder_urls)) {}
    ~PageSecurity() = default;

    LONG references_ = 1;
    BaseString page_url_;
    std::vector<BaseString> folder_urls_;
};
