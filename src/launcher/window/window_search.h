#pragma once

#include <string_view>

// Brings the top-level window of the given class and title to the front,
// restoring it first when it is minimized. False when there is none.
//
// Windows: FindWindowW. X11: the window whose WM_CLASS class is `window_class`
// and whose _NET_WM_NAME is `title`.
bool BringWindowToFront(std::u16string_view window_class, std::u16string_view title);
