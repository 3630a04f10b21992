#pragma once

#include <map>
#include <optional>
#include <string_view>
#include <vector>

#include "object/plugin_version.h"

namespace Object {

// The section of a plug-in shared object that holds its version strings.
inline constexpr char kVersionSectionName[] = ".orv_version";
// Larger sections are not read.
inline constexpr size_t kMaxVersionSectionSize = 64 * 1024;

// The version strings of a plug-in's section: NUL-terminated UTF-8 strings in
// pairs, a sub-block name as a version resource names it and its value:
//   \VarFileInfo\Translation           040904b0 040704e4
//   \StringFileInfo\040904b0\InfraClassFactory   1
// The translation value lists (language, code page) pairs as eight hexadecimal
// digits each, separated by single spaces. NULs may pad the end.
class SectionVersionStrings final : public VersionStrings {
public:
    // None when the bytes do not follow that form: an unterminated string, a name
    // without value, a name given twice, a translation list that does not parse.
    static std::optional<SectionVersionStrings> Parse(std::string_view bytes);

    std::vector<Translation> Translations() const override { return translations_; }
    std::optional<BaseString> Find(const Translation& translation,
                                   std::u16string_view name) const override;

private:
    std::vector<Translation> translations_;
    std::map<BaseString, BaseString> values_;
};

}  // namespace Object
