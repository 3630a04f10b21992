// Folders' file URLs over random folder names: a folder's URL, and a file's
// below it, are inside the folder, however the name escapes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "launcher/page/medium_address.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    BaseString folder =
        BaseString::FromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
    BaseString url = FolderFileUrl(folder.view());
    if (!url.view().starts_with(u"file:") || !url.view().ends_with(u'/')) {
        __builtin_trap();
    }
    // A name of slashes only is no folder: its URL has no path.
    if (folder.view().find_first_not_of(u"/\\") == std::u16string_view::npos) {
        return 0;
    }
    if (!IsFileUrlInFolder(url.view(), url.view()) ||
        !IsFileUrlInFolder((url + u"a.css").view(), url.view())) {
        __builtin_trap();
    }
    return 0;
}
