#include "base/locale.h"

#include "base/win.h"

namespace Base {

uint32_t UserDefaultLangId() {
    return ::GetUserDefaultLangID();
}

uint32_t UserDefaultUILanguage() {
    return ::GetUserDefaultUILanguage();
}

bool Platform::IsInstalledLocale(uint32_t language) {
    return ::IsValidLocale(MAKELCID(language, SORT_DEFAULT), LCID_INSTALLED) != FALSE;
}

}  // namespace Base
