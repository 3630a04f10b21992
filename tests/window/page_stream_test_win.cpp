#include <gtest/gtest.h>

#include <ocidl.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/platform.h"
#include "launcher/com_support.h"
#include "launcher/window/browser_host_win.h"
#include "launcher/window/page_stream_win.h"
#include "temp_folder.h"
#include "test_support.h"

using Microsoft::WRL::ComPtr;

namespace {

std::string ReadAll(IStream* stream) {
    std::string bytes;
    char chunk[64];
    ULONG read = 0;
    while (SUCCEEDED(stream->Read(chunk, sizeof(chunk), &read)) && read > 0) {
        bytes.append(chunk, read);
    }
    return bytes;
}

std::string Utf16Bytes(std::u16string_view text) {
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
}

TEST(PageStream, HoldsAByteOrderMarkThePageAndItsNul) {
    for (std::u16string_view page :
         {std::u16string_view(u""), std::u16string_view(u"<p>Ünïcødé \U0001D11E 自動実行</p>")}) {
        ComPtr<IStream> stream = MakePageStream(page);
        STATSTG status{};
        ASSERT_EQ(stream->Stat(&status, STATFLAG_NONAME), S_OK);
        EXPECT_EQ(status.cbSize.QuadPart, page.size() * 2 + 4);
        EXPECT_EQ(ReadAll(stream.Get()),
                  std::string("\xFF\xFE", 2) + Utf16Bytes(page) + std::string(2, '\0'));
    }
}

// A folder's "file" URL as the control reads it.
std::u16string FileUrl(std::u16string_view folder) {
    std::u16string url = u"file:///";
    for (char16_t c : folder) {
        url += c == u'\\'  ? std::u16string(u"/")
               : c == u' ' ? std::u16string(u"%20")
               : c == u'#' ? std::u16string(u"%23")
                           : std::u16string(1, c);
    }
    return url.ends_with(u'/') ? url : url + u"/";
}

// The page handed to the control lies at an "about:" address: it gets the
// medium's folder, the current directory, for its base, and the newest
// document mode, first in its head.
TEST(PageStream, ThePageGetsTheMediumsFolderForItsBaseAndTheNewestDocumentMode) {
    TempFolder folder;
    std::filesystem::path medium = folder.Native(u"My Media #1");
    std::filesystem::create_directory(medium);
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(medium);
    BaseString page = PageForTheControl(u"<!DOCTYPE html>\n<html><head><title>t</title>");
    std::vector<BaseString> folders = MediumFolderUrls();
    std::filesystem::current_path(previous);

    std::u16string url = FileUrl(medium.u16string());
    EXPECT_EQ(page, BaseString(u"<!DOCTYPE html>\n<html><head>"
                               u"<meta http-equiv=\"X-UA-Compatible\" content=\"IE=edge\">"
                               u"<base href=\"" +
                               url + u"\"><title>t</title>"));
    // The current directory, then this program's folder.
    ASSERT_EQ(folders.size(), 2u);
    EXPECT_EQ(folders[0], BaseString(url));
    BaseString program = Base::ExecutablePath();
    EXPECT_EQ(folders[1], BaseString(FileUrl(Base::FolderOf(program.view()))));
}

// A document that can reload itself from a stream, as the browser's is: it
// records the calls and what the stream held.
class RecordingDocument final : public IDispatch, public IPersistStreamInit {
public:
    std::vector<std::string> calls;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IUnknown || iid == IID_IDispatch) {
            *object = static_cast<IDispatch*>(this);
        } else if (iid == IID_IPersistStreamInit) {
            *object = static_cast<IPersistStreamInit*>(this);
        } else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        return S_OK;
    }
    // Lives on the test's stack.
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }

    STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                        UINT*) override {
        return E_NOTIMPL;
    }

    STDMETHODIMP GetClassID(CLSID*) override { return E_NOTIMPL; }
    STDMETHODIMP IsDirty() override { return S_FALSE; }
    STDMETHODIMP Load(IStream* stream) override {
        calls.push_back("Load " + ReadAll(stream));
        return S_OK;
    }
    STDMETHODIMP Save(IStream*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER*) override { return E_NOTIMPL; }
    STDMETHODIMP InitNew() override {
        calls.push_back("InitNew");
        return S_OK;
    }
};

TEST(PageStream, TheDocumentStartsAfreshThenLoadsTheWholeStream) {
    RecordingDocument document;
    LoadDocument(&document, MakePageStream(u"<b>x</b>").Get());
    const std::vector<std::string> expected{
        "InitNew",
        "Load " + std::string("\xFF\xFE", 2) + Utf16Bytes(u"<b>x</b>") + std::string(2, '\0')};
    EXPECT_EQ(document.calls, expected);
}

// Wine's control has no HTML engine and so no document: the hand-over leaves it
// as it is.
TEST(PageStream, ABrowserWithoutADocumentIsLeftAsItIs) {
    EnsureComInitialized();
    ASSERT_TRUE(BrowserHost::RegisterWindowClass());
    HWND window = ::CreateWindowExW(0, BrowserHost::kWindowClass, L"", WS_POPUP, 0, 0, 100, 100,
                                    nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(window);
    BrowserHost* host = BrowserHost::FromWindow(window);
    ASSERT_EQ(host->CreateControl(L"about:quorra"), S_OK);
    ComPtr<IWebBrowser2> browser;
    ASSERT_EQ(host->QueryControl(IID_PPV_ARGS(&browser)), S_OK);
    ComPtr<IDispatch> document;
    browser->get_Document(&document);
    EXPECT_FALSE(document);
    LoadDocument(document.Get(), MakePageStream(u"<p>page</p>").Get());

    // Something that is no document at all.
    ComPtr<IDispatch> not_a_document;
    ComPtr<IOleObject> control;
    ASSERT_EQ(host->QueryControl(IID_PPV_ARGS(&control)), S_OK);
    ComPtr<IOleClientSite> site;
    ASSERT_EQ(control->GetClientSite(&site), S_OK);
    ASSERT_EQ(site.As(&not_a_document), S_OK);
    LoadDocument(not_a_document.Get(), MakePageStream(u"<p>page</p>").Get());

    BSTR location = nullptr;
    ASSERT_EQ(browser->get_LocationURL(&location), S_OK);
    EXPECT_STREQ(location, L"about:quorra");
    ::SysFreeString(location);
    ::DestroyWindow(window);
    ReleaseComInitialization();
}

}  // namespace
