#pragma once

#include <cstddef>
#include <string_view>

#include "base/string.h"
#include "base/win.h"

// Full paths from this length on go to the file calls in their extended form
// ("\\?\C:\...", "\\?\UNC\server\share\..."), which the calls take up to 32767
// characters. Windows before 10, and 10 and 11 unless long paths are switched
// on, refuse longer plain paths: MAX_PATH for files, and for a folder to be
// made MAX_PATH - 12, so that an 8.3 name still fits inside it.
inline constexpr size_t kLongPathLength = MAX_PATH - 12;

// `path` for a file call: a full path (a drive or a network share, with
// backslashes and no "." or ".." components, as normalised paths are) of
// kLongPathLength characters or more in the extended form; anything else as
// it is. The extended form is taken literally: a name that ends in a dot or a
// space keeps it.
inline BaseString LongPathText(const BaseString& path) {
    std::u16string_view text = path.view();
    if (text.size() < kLongPathLength) {
        return path;
    }
    if (text.size() >= 3 && text[1] == u':' && text[2] == u'\\') {
        return BaseString(u"\\\\?\\") + text;
    }
    if (text.starts_with(u"\\\\") && !text.starts_with(u"\\\\?\\") &&
        !text.starts_with(u"\\\\.\\")) {
        return BaseString(u"\\\\?\\UNC\\") + text.substr(2);
    }
    return path;
}

// The plain form of a path that the system hands back in the extended form
// (a program started through one has its module's file name so): the paths
// of the core have no "\\?\" prefix.
inline BaseString PlainPathText(const BaseString& path) {
    std::u16string_view text = path.view();
    if (text.starts_with(u"\\\\?\\UNC\\")) {
        return BaseString(u"\\\\") + text.substr(8);
    }
    if (text.starts_with(u"\\\\?\\") && text.size() >= 6 && text[5] == u':') {
        return BaseString(text.substr(4));
    }
    return path;
}
