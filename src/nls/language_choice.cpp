#include "nls/language_choice.h"

#include <algorithm>
#include <span>

#include "base/format.h"

namespace Nls {

namespace {

constexpr uint32_t kPrimaryLanguageMask = 0x3FF;

constexpr uint32_t kTraditionalChinese[] = {0x0404, 0x0C04, 0x1404};
constexpr uint32_t kSimplifiedChinese[] = {0x0804, 0x1004};
constexpr std::span<const uint32_t> kEquivalenceGroups[] = {kTraditionalChinese,
                                                            kSimplifiedChinese};

bool Contains(const std::vector<uint32_t>& list, uint32_t language) {
    return std::find(list.begin(), list.end(), language) != list.end();
}

}  // namespace

uint32_t ParseLanguageId(std::u16string_view text) {
    uint32_t language = 0;
    for (char16_t c : text) {
        if (c >= u'0' && c <= u'9') {
            language = language << 4 | (c - u'0');
        } else if (c >= u'a' && c <= u'f') {
            language = language << 4 | (c - u'a' + 10);
        } else {
            return 0;
        }
    }
    return language;
}

std::vector<uint32_t> SupportedLanguages(std::u16string_view lang_list,
                                         bool (*is_installed)(uint32_t language)) {
    std::vector<uint32_t> supported;
    for (uint32_t candidate : kCandidateLanguages) {
        if (!lang_list.empty() &&
            lang_list.find(Base::Format("%04x", candidate).view()) == std::u16string_view::npos) {
            continue;
        }
        if (is_installed(candidate)) {
            supported.push_back(candidate);
        }
    }
    if (supported.empty()) {
        if (is_installed(0x0409)) {
            supported.push_back(0x0409);
        } else {
            supported.assign(std::begin(kCandidateLanguages), std::end(kCandidateLanguages));
        }
    }
    return supported;
}

uint32_t ChooseLanguage(uint32_t wanted, const std::vector<uint32_t>& list) {
    if (list.empty()) {
        return 0;
    }
    if (Contains(list, wanted)) {
        return wanted;
    }
    for (std::span<const uint32_t> group : kEquivalenceGroups) {
        if (std::find(group.begin(), group.end(), wanted) == group.end()) {
            continue;
        }
        for (uint32_t member : group) {
            if (Contains(list, member)) {
                return member;
            }
        }
    }
    for (uint32_t entry : list) {
        if ((entry & kPrimaryLanguageMask) == (wanted & kPrimaryLanguageMask)) {
            return entry;
        }
    }
    return list.front();
}

}  // namespace Nls
