#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/buffer.h"
#include "base/string.h"

// The platform's conversion between a code page and UTF-16, for the code
// pages other than UTF-8 and UTF-16. Windows converts every code page it
// knows; elsewhere the tables of code_page_tables.h serve 1250, 1252, 28591
// and 28592, and every other code page fails to convert.
namespace Io::Text {

// The length in bytes of the character that `bytes` (not empty) begin with,
// as far as they tell: 2 for a lead byte of a double-byte code page, 4 for a
// four-byte sequence of GB18030 (54936), else 1. Longer than `bytes` when they
// end inside the character; a sequence whose bytes already break its pattern
// counts up to and with the byte that breaks it, so that it is found invalid
// without waiting for more.
size_t CodePageCharLength(int32_t code_page, std::string_view bytes);

// Appends the characters of `bytes`, which hold no zero byte. False, with
// `text` unchanged, when the bytes hold a sequence that is invalid in the code
// page or the code page cannot be converted.
bool DecodeCodePage(int32_t code_page, std::string_view bytes, BaseString& text);

// The bytes of `text`. A character the code page lacks becomes the default
// character and sets `used_default`; with `allow_best_fit` the platform may
// write a similar character instead (A for A with macron). False when the
// code page cannot be converted.
bool EncodeCodePage(int32_t code_page, std::u16string_view text, bool allow_best_fit,
                    ByteBuffer& bytes, bool& used_default);

}  // namespace Io::Text
