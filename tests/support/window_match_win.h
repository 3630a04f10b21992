#pragma once

#include "base/win.h"

// Whether the window has exactly this class and title.
inline bool HasClassAndTitle(HWND window, const wchar_t* window_class, const wchar_t* title) {
    wchar_t text[256] = {};
    if (!::GetClassNameW(window, text, 256) || ::lstrcmpW(text, window_class) != 0) {
        return false;
    }
    ::GetWindowTextW(window, text, 256);
    return ::lstrcmpW(text, title) == 0;
}
