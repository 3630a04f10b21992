#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// The encoding names of XML declarations and the code pages they stand for.
// Names compare without regard to case.
namespace Io::Text {

// The code page a name selects when reading; "utf-16" keeps a decoder that is
// on 1201 there and otherwise means 1200. Nothing for an unknown name.
std::optional<int32_t> CodePageOfEncodingName(std::u16string_view name, int32_t current_code_page);

// The name written for a code page; empty for a code page without one.
std::u16string_view EncodingNameOfCodePage(int32_t code_page);

}  // namespace Io::Text
