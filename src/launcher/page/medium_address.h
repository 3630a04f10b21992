#pragma once

#include <string_view>

#include "base/string.h"

// The "file" URL of a folder, ending in "/", as Windows' web-browser control
// reads them: "D:\Media" gives "file:///D:/Media/", "\\server\share" gives
// "file://server/share/", "/media/cd" gives "file:///media/cd/". "%", "#",
// "?", blanks and control characters are escaped; other characters stay as
// they are (the control reads escaped bytes in the system's code page).
BaseString FolderFileUrl(std::u16string_view folder);

// Whether `url` is the "file" URL of something inside the folder of
// `folder_url` (a FolderFileUrl), however the browser writes it: with two or
// three slashes, "\" or "/", escaped or not (escapes read as UTF-8), in either
// ASCII case. A URL that climbs out with "." or ".." segments is not inside.
bool IsFileUrlInFolder(std::u16string_view url, std::u16string_view folder_url);
