#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "base/string.h"

// The version strings that make a file a plug-in library, as a version resource
// holds them on Windows and a section of the shared object does elsewhere.
namespace Object {

// A (language, code page) pair of the "\VarFileInfo\Translation" list.
struct Translation {
    uint16_t language;
    uint16_t code_page;
};

class VersionStrings {
public:
    virtual std::vector<Translation> Translations() const = 0;
    // The string at "\StringFileInfo\llllcccc\<name>"; none when there is none.
    virtual std::optional<BaseString> Find(const Translation& translation,
                                           std::u16string_view name) const = 0;

protected:
    ~VersionStrings() = default;
};

// "\StringFileInfo\llllcccc\<name>", the pair in lower-case hexadecimal.
BaseString StringSubBlock(const Translation& translation, std::u16string_view name);

// True when the strings make the file `file_name` a plug-in library:
// "InfraClassFactory" is "1" under at least one translation, and
// "OriginalFilename", taken from the first translation that has one, is empty or
// names the file as `same_name` compares names.
bool IsPluginLibrary(const VersionStrings& strings, std::u16string_view file_name,
                     bool (*same_name)(std::u16string_view, std::u16string_view));

}  // namespace Object
