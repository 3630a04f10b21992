#pragma once

#include <cstddef>

#include "base/string.h"

// The template file's bytes as text: decoding stops at the first zero byte, a
// sequence cut off at the end is dropped, a byte-order mark stays (U+FEFF), and
// invalid sequences inside are left to the platform's UTF-8 conversion.
BaseString DecodeUtf8(const unsigned char* bytes, size_t count);

// The platform's UTF-8 conversion (MultiByteToWideChar, code page 65001, no flags).
BaseString PlatformUtf8ToWide(const unsigned char* bytes, size_t count);
