#include "base/win.h"
#include "error/show_error.h"

int PlatformMessageBox(WindowHandle owner, const BaseString& text, const BaseString& caption,
                       uint32_t style) {
    return ::MessageBoxW(static_cast<HWND>(owner), WidePtr(text.c_str()), WidePtr(caption.c_str()),
                         style);
}
