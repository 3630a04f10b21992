#include "object/version_section.h"

#include "base/hex.h"

namespace Object {

namespace {

constexpr std::u16string_view kTranslationName = u"\\VarFileInfo\\Translation";

// Eight hexadecimal digits: the language, then the code page.
std::optional<Translation> ParsePair(std::u16string_view digits) {
    if (digits.size() != 8) {
        return std::nullopt;
    }
    uint32_t value = 0;
    for (char16_t c : digits) {
        int digit = Base::HexDigitValue(c);
        if (digit < 0) {
            return std::nullopt;
        }
        value = value << 4 | static_cast<uint32_t>(digit);
    }
    return Translation{static_cast<uint16_t>(value >> 16), static_cast<uint16_t>(value)};
}

std::optional<std::vector<Translation>> ParseTranslations(std::u16string_view list) {
    std::vector<Translation> translations;
    while (!list.empty()) {
        size_t space = list.find(u' ');
        std::optional<Translation> pair = ParsePair(list.substr(0, space));
        if (!pair) {
            return std::nullopt;
        }
        translations.push_back(*pair);
        if (space == std::u16string_view::npos) {
            break;
        }
        list.remove_prefix(space + 1);
        if (list.empty()) {
            return std::nullopt;
        }
    }
    return translations;
}

}  // namespace

std::optional<SectionVersionStrings> SectionVersionStrings::Parse(std::string_view bytes) {
    SectionVersionStrings strings;
    std::vector<std::string_view> texts;
    while (!bytes.empty()) {
        size_t end = bytes.find('\0');
        if (end == std::string_view::npos) {
            return std::nullopt;
        }
        if (end == 0 && texts.size() % 2 == 0) {
            // Padding: nothing but NULs may follow.
            if (bytes.find_first_not_of('\0') != std::string_view::npos) {
                return std::nullopt;
            }
            break;
        }
        texts.push_back(bytes.substr(0, end));
        bytes.remove_prefix(end + 1);
    }
    if (texts.size() % 2 != 0) {
        return std::nullopt;
    }
    for (size_t i = 0; i < texts.size(); i += 2) {
        BaseString name = BaseString::FromUtf8(texts[i]);
        BaseString value = BaseString::FromUtf8(texts[i + 1]);
        if (!strings.values_.emplace(name, value).second) {
            return std::nullopt;
        }
    }
    auto translation_list = strings.values_.find(BaseString(kTranslationName));
    if (translation_list != strings.values_.end()) {
        std::optional<std::vector<Translation>> translations =
            ParseTranslations(translation_list->second.view());
        if (!translations) {
            return std::nullopt;
        }
        strings.translations_ = std::move(*translations);
    }
    return strings;
}

std::optional<BaseString> SectionVersionStrings::Find(const Translation& translation,
                                                      std::u16string_view name) const {
    auto found = values_.find(StringSubBlock(translation, name));
    if (found == values_.end()) {
        return std::nullopt;
    }
    return found->second;
}

}  // namespace Object
