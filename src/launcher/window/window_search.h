#pragma once

#include <string_view>

// Brings the launcher's top-level window of the given class and title to the
// front, restoring it first when it is minimized. False when there is none.
//
// Windows: the first window of that class and title (FindWindowExW) that has
// the launcher's marker child (dialog_marker.h), as other programs' dialogs
// may have the same title. X11: the window whose WM_CLASS class is
// `window_class` and whose _NET_WM_NAME is `title`.
bool BringWindowToFront(std::u16string_view window_class, std::u16string_view title);
