#pragma once

#include <array>
#include <cstdint>
#include <iterator>
#include <string_view>
#include <vector>

#include "error/languages.h"

// The rules of language selection, free of any state: which languages the
// product supports, how the forced language is written, which language of a
// list a wanted one gets.
namespace Nls {

// The product's languages, in order of preference (error/languages.def).
inline constexpr std::array<uint32_t, std::size(kProductLanguages)> kCandidateLanguages = [] {
    std::array<uint32_t, std::size(kProductLanguages)> candidates{};
    for (size_t i = 0; i < candidates.size(); ++i) {
        candidates[i] = kProductLanguages[i].id;
    }
    return candidates;
}();

// The value "LangId": lower-case hexadecimal digits ("%04x"). Anything else,
// and the empty text, give 0.
uint32_t ParseLanguageId(std::u16string_view text);

// The candidates that "LangList" allows (each one's "%04x" form appears in it;
// an empty list allows all) and that are installed. When none is left:
// English if it is installed, else every candidate.
std::vector<uint32_t> SupportedLanguages(std::u16string_view lang_list,
                                         bool (*is_installed)(uint32_t language));

// The language of `list` for `wanted`: itself, else the first member in list
// of its equivalence group ({0x0404, 0x0C04, 0x1404}, {0x0804, 0x1004}), else
// the first of the same primary language (low 10 bits), else the first entry.
// An empty list gives 0.
uint32_t ChooseLanguage(uint32_t wanted, const std::vector<uint32_t>& list);

}  // namespace Nls
