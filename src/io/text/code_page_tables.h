#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace Io::Text {

// One character that a single-byte code page can write. Best-fit rows stand
// for a similar character (A for A with macron) and are used only when the
// writer allows replacements.
struct CodePageEncoding {
    char16_t character;
    uint8_t byte;
    bool best_fit;
};

// A single-byte code page: every byte's character, and the characters it can
// write sorted by character.
struct CodePageTable {
    int32_t code_page;
    const char16_t* to_unicode;
    const CodePageEncoding* encodings;
    size_t encoding_count;
};

// The row that writes a character, or null when the code page has none.
inline const CodePageEncoding* FindEncoding(const CodePageTable& table, char16_t character) {
    const CodePageEncoding* end = table.encodings + table.encoding_count;
    const CodePageEncoding* found =
        std::lower_bound(table.encodings, end, character,
                         [](const CodePageEncoding& row, char16_t c) { return row.character < c; });
    return found != end && found->character == character ? found : nullptr;
}

// The table of 1250, 1252, 28591 or 28592; null for any other code page.
const CodePageTable* FindCodePageTable(int32_t code_page);

}  // namespace Io::Text
