#include <climits>
#include <vector>

#include "base/win.h"
#include "launcher/page/decode_utf8.h"

BaseString PlatformUtf8ToWide(const unsigned char* bytes, size_t count) {
    if (count == 0 || count > INT_MAX) {
        return {};
    }
    const char* text = reinterpret_cast<const char*>(bytes);
    int size = static_cast<int>(count);
    int characters = ::MultiByteToWideChar(CP_UTF8, 0, text, size, nullptr, 0);
    if (characters <= 0) {
        return {};
    }
    std::vector<wchar_t> wide(static_cast<size_t>(characters));
    characters = ::MultiByteToWideChar(CP_UTF8, 0, text, size, wide.data(), characters);
    return BaseString(Utf16Ptr(wide.data()), static_cast<size_t>(characters > 0 ? characters : 0));
}
