#include "launcher/window/window_search.h"

#include "base/string.h"
#include "base/win.h"

bool BringWindowToFront(std::u16string_view window_class, std::u16string_view title) {
    BaseString class_name(window_class);
    BaseString window_title(title);
    HWND window = ::FindWindowW(WidePtr(class_name.c_str()), WidePtr(window_title.c_str()));
    if (!window) {
        return false;
    }
    if (::IsIconic(window)) {
        ::ShowWindow(window, SW_RESTORE);
    }
    ::BringWindowToTop(window);
    ::SetForegroundWindow(window);
    return true;
}
