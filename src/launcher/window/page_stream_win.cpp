#include "launcher/window/page_stream_win.h"

#include <cstdint>
#include <cstring>

#include <ocidl.h>

#include "base/platform.h"
#include "error/error.h"
#include "launcher/page/head_declarations.h"
#include "launcher/page/medium_address.h"

using Microsoft::WRL::ComPtr;

namespace {

// Empty when the system cannot tell.
BaseString CurrentDirectory() {
    std::vector<wchar_t> folder(MAX_PATH);
    for (;;) {
        DWORD length = ::GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data());
        if (length < folder.size()) {
            return BaseString(std::u16string_view(Utf16Ptr(folder.data()), length));
        }
        folder.resize(length);
    }
}

}  // namespace

ComPtr<IStream> MakePageStream(std::u16string_view page) {
    constexpr char16_t kByteOrderMark = 0xFEFF;
    if (page.size() > (SIZE_MAX - 4) / 2) {
        throw Error::Internal("ga-nomem", "autorun");
    }
    // Zero-filled: the two bytes after the page are its NUL.
    HGLOBAL memory = ::GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, page.size() * 2 + 4);
    if (!memory) {
        throw Error::Internal("ga-nomem", "autorun");
    }
    auto* text = static_cast<char16_t*>(memory);
    text[0] = kByteOrderMark;
    std::memcpy(text + 1, page.data(), page.size() * 2);
    ComPtr<IStream> stream;
    HRESULT result = ::CreateStreamOnHGlobal(memory, TRUE, &stream);
    if (FAILED(result)) {
        ::GlobalFree(memory);
        throw Error::Internal("crstm-on-hgl(%08x)", "autorun", static_cast<uint32_t>(result));
    }
    return stream;
}

void LoadDocument(IDispatch* document, IStream* stream) {
    ComPtr<IPersistStreamInit> persist;
    if (!document || FAILED(document->QueryInterface(IID_PPV_ARGS(&persist)))) {
        return;
    }
    persist->InitNew();
    persist->Load(stream);
}

std::vector<BaseString> MediumFolderUrls() {
    BaseString current = CurrentDirectory();
    BaseString launcher = Base::ExecutablePath();
    std::vector<BaseString> urls;
    for (std::u16string_view folder : {current.view(), Base::FolderOf(launcher.view())}) {
        if (!folder.empty()) {
            urls.push_back(FolderFileUrl(folder));
        }
    }
    return urls;
}

BaseString PageForTheControl(std::u16string_view page) {
    BaseString folder = CurrentDirectory();
    return WithHeadDeclarations(page, folder.empty() ? BaseString() : FolderFileUrl(folder.view()));
}
