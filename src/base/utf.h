#pragma once

#include <string>
#include <string_view>

class BaseString;

namespace Base {

// Lenient conversions used at the program's edges (source literals, narrow
// tags, terminals, file names on POSIX): an invalid UTF-8 sequence gives one
// U+FFFD per offending byte, an unpaired surrogate gives U+FFFD.
void AppendUtf8AsUtf16(std::string_view utf8, BaseString& out);
std::string Utf16ToUtf8(std::u16string_view utf16);

}  // namespace Base
