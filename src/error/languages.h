#pragma once

#include <cstdint>

// A language of the product's texts.
struct ProductLanguage {
    uint32_t id;             // the language identifier (LANGID)
    const char* tag;         // BCP 47: "de", "zh-TW"
    uint8_t dialog_charset;  // the character set of the dialog template's font
    bool runtime_texts;      // the runtime's own message tables have a row for it
};

// The product's languages in order of preference (languages.def): the rows of
// every message table follow this order, the first being every table's
// fallback.
inline constexpr ProductLanguage kProductLanguages[] = {
#define ORV_LANGUAGE(identifier, tag, charset, runtime) {identifier, tag, charset, runtime != 0},
#include "error/languages.def"
#undef ORV_LANGUAGE
};
