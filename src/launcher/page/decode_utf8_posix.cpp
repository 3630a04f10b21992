#include <string_view>

#include "base/utf.h"
#include "launcher/page/decode_utf8.h"

BaseString PlatformUtf8ToWide(const unsigned char* bytes, size_t count) {
    BaseString text;
    text.Reserve(count);
    Base::AppendUtf8AsUtf16(std::string_view(reinterpret_cast<const char*>(bytes), count), text);
    return text;
}
