#include "error/system_text.h"

#include <vector>

#include "base/win.h"

BaseString SystemErrorText(uint32_t code) {
    DWORD flags = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | 255;
    std::vector<wchar_t> buffer(64 / sizeof(wchar_t));
    for (;;) {
        DWORD length = ::FormatMessageW(flags, nullptr, code, 0, buffer.data(),
                                        static_cast<DWORD>(buffer.size()), nullptr);
        if (length != 0) {
            return BaseString(Utf16Ptr(buffer.data()), length);
        }
        if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
            return {};
        }
        buffer.resize(buffer.size() + 1);
    }
}
