#include "properties/product_settings.h"

#include "error/error.h"
#include "mt/current_thread.h"
#include "properties/persistent_properties.h"

namespace ProductSettings {

namespace {

constexpr char16_t kProductKey[] = u"Orvella";
constexpr char16_t kInstallDirKey[] = u"Orvella\\1.0\\InstallDir";

BaseString ReadMachineString(const char16_t* key, const char16_t* name) {
    try {
        return PersistentProperties(BaseString(key), PropertyScope::kMachine)
            .GetString(BaseString(name), BaseString());
    } catch (const Error&) {
        Mt::CheckInterrupt();
        return {};
    }
}

}  // namespace

BaseString ForcedLanguage() {
    return ReadMachineString(kProductKey, u"LangId");
}

BaseString LanguageList() {
    return ReadMachineString(kProductKey, u"LangList");
}

BaseString InstallFolder() {
    return ReadMachineString(kInstallDirKey, u"");
}

}  // namespace ProductSettings
