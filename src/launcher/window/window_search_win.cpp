#include "launcher/window/window_search.h"

#include <iterator>

#include "base/string.h"
#include "base/win.h"
#include "launcher/window/dialog_marker.h"

namespace {

constexpr UINT kTextTimeout = 2000;  // milliseconds

// The marker's text is the edit control's own (it keeps no window caption),
// so it is asked for; a window that does not answer in time is passed over.
bool HasMarker(HWND window) {
    constexpr size_t kLength = std::size(kDialogMarkerText) - 1;
    for (HWND child = ::FindWindowExW(window, nullptr, L"Edit", nullptr); child;
         child = ::FindWindowExW(window, child, L"Edit", nullptr)) {
        wchar_t text[kLength + 2] = {};
        DWORD_PTR copied = 0;
        if (::SendMessageTimeoutW(child, WM_GETTEXT, std::size(text),
                                  reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, kTextTimeout,
                                  &copied) &&
            std::u16string_view(Utf16Ptr(text), copied) == kDialogMarkerText) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool BringWindowToFront(std::u16string_view window_class, std::u16string_view title) {
    BaseString class_name(window_class);
    BaseString window_title(title);
    // Other programs' dialogs may have the same title: the candidates are
    // taken in turn until one has the marker.
    HWND window = nullptr;
    do {
        window = ::FindWindowExW(nullptr, window, WidePtr(class_name.c_str()),
                                 WidePtr(window_title.c_str()));
    } while (window && !HasMarker(window));
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
