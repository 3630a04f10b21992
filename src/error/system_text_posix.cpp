#include "error/system_text.h"

#include <string.h>

#include "base/errno_win32.h"

BaseString SystemErrorText(uint32_t code) {
    int error = Base::ErrnoFromWin32Error(code);
    if (error == 0) {
        return {};
    }
    char buffer[256];
    // GNU strerror_r: returns the text, which need not live in the buffer.
    const char* text = strerror_r(error, buffer, sizeof buffer);
    return BaseString::FromUtf8(text);
}
