#pragma once

#include <cstddef>
#include <string_view>

#include "base/string.h"

// The text rules of paths, as pure functions of the text, the current directory
// and the style. Both styles accept "\" and "/" as separators and resolve "."
// and ".."; components are 1 to 255 characters.
//   Windows: roots "C:" (the letter upper-cased) and "\\server\share", output
//            with "\", the characters <>:"| * ? forbidden in components.
//   POSIX:   the root "/", output with "/".
namespace Io {

enum class PathStyle { kWindows, kPosix };

inline constexpr size_t kMaxPathComponent = 255;

constexpr char16_t Separator(PathStyle style) {
    return style == PathStyle::kWindows ? u'\\' : u'/';
}

// True when the text begins with a root of the style.
bool HasRoot(std::u16string_view text, PathStyle style);

// The normalised text of a path name, or "" when it is not a valid path. A name
// without a root is taken relative to `current_directory`, which must have a
// root itself.
BaseString NormalizePath(std::u16string_view name, std::u16string_view current_directory,
                         PathStyle style);

// The length of the root of a normalised text.
size_t RootLength(std::u16string_view normalized, PathStyle style);

// The last component of a normalised text, "" for a root.
std::u16string_view LastComponent(std::u16string_view normalized, PathStyle style);

// The text of the parent folder of a normalised text: the text before the last
// separator, or the root for a component right under it; "" for a root.
std::u16string_view ParentText(std::u16string_view normalized, PathStyle style);

// The text that resolving a name against a normalised text normalises: the
// name alone when it has a root, else the text, a separator and the name.
BaseString ResolveText(std::u16string_view normalized, std::u16string_view name, PathStyle style);

// A normalised text with one more component, taken as it is.
BaseString ChildText(std::u16string_view normalized, std::u16string_view name, PathStyle style);

}  // namespace Io
