#include "object/plugin_version.h"

#include "base/format.h"

namespace Object {

BaseString StringSubBlock(const Translation& translation, std::u16string_view name) {
    return Base::Format("\\StringFileInfo\\%04x%04x\\%s", translation.language,
                        translation.code_page, name);
}

bool IsPluginLibrary(const VersionStrings& strings, std::u16string_view file_name,
                     bool (*same_name)(std::u16string_view, std::u16string_view)) {
    std::vector<Translation> translations = strings.Translations();
    bool class_factory = false;
    std::optional<BaseString> original_name;
    for (const Translation& translation : translations) {
        if (strings.Find(translation, u"InfraClassFactory") == BaseString(u"1")) {
            class_factory = true;
        }
        if (!original_name) {
            original_name = strings.Find(translation, u"OriginalFilename");
        }
    }
    if (!class_factory) {
        return false;
    }
    return !original_name || original_name->empty() || same_name(*original_name, file_name);
}

}  // namespace Object
