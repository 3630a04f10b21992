#include "base/locale.h"

#include <cstdlib>
#include <string_view>

namespace Base {

namespace {

struct LocaleName {
    const char* name;  // "ll" or "ll_CC"; the bare language names its main region
    uint32_t language;
};

// Locale names to LANGIDs: every language the product ships and its regional
// variants, and the other languages a desktop commonly runs in.
constexpr LocaleName kLocaleNames[] = {
    {"en", 0x0409},    {"en_US", 0x0409}, {"en_GB", 0x0809}, {"en_AU", 0x0C09}, {"en_CA", 0x1009},
    {"en_NZ", 0x1409}, {"en_IE", 0x1809}, {"en_ZA", 0x1C09}, {"en_IN", 0x4009}, {"en_SG", 0x4809},
    {"zh_TW", 0x0404}, {"zh_HK", 0x0C04}, {"zh_MO", 0x1404}, {"zh", 0x0804},    {"zh_CN", 0x0804},
    {"zh_SG", 0x1004}, {"da", 0x0406},    {"da_DK", 0x0406}, {"de", 0x0407},    {"de_DE", 0x0407},
    {"de_CH", 0x0807}, {"de_AT", 0x0C07}, {"de_LU", 0x1007}, {"de_LI", 0x1407}, {"de_BE", 0x0407},
    {"el", 0x0408},    {"el_GR", 0x0408}, {"el_CY", 0x0408}, {"it", 0x0410},    {"it_IT", 0x0410},
    {"it_CH", 0x0810}, {"ja", 0x0411},    {"ja_JP", 0x0411}, {"ko", 0x0412},    {"ko_KR", 0x0412},
    {"nl", 0x0413},    {"nl_NL", 0x0413}, {"nl_BE", 0x0813}, {"nb", 0x0414},    {"nb_NO", 0x0414},
    {"no", 0x0414},    {"no_NO", 0x0414}, {"nn", 0x0814},    {"nn_NO", 0x0814}, {"pt_BR", 0x0416},
    {"pt", 0x0816},    {"pt_PT", 0x0816}, {"ru", 0x0419},    {"ru_RU", 0x0419}, {"ru_UA", 0x0419},
    {"sv", 0x041D},    {"sv_SE", 0x041D}, {"sv_FI", 0x081D}, {"tr", 0x041F},    {"tr_TR", 0x041F},
    {"fi", 0x040B},    {"fi_FI", 0x040B}, {"fr", 0x040C},    {"fr_FR", 0x040C}, {"fr_BE", 0x080C},
    {"fr_CA", 0x0C0C}, {"fr_CH", 0x100C}, {"fr_LU", 0x140C}, {"es", 0x0C0A},    {"es_ES", 0x0C0A},
    {"es_MX", 0x080A}, {"es_GT", 0x100A}, {"es_CR", 0x140A}, {"es_PA", 0x180A}, {"es_DO", 0x1C0A},
    {"es_VE", 0x200A}, {"es_CO", 0x240A}, {"es_PE", 0x280A}, {"es_AR", 0x2C0A}, {"es_EC", 0x300A},
    {"es_CL", 0x340A}, {"es_UY", 0x380A}, {"es_PY", 0x3C0A}, {"es_BO", 0x400A}, {"es_SV", 0x440A},
    {"es_HN", 0x480A}, {"es_NI", 0x4C0A}, {"es_PR", 0x500A}, {"es_US", 0x540A}, {"cs", 0x0405},
    {"cs_CZ", 0x0405}, {"hu", 0x040E},    {"hu_HU", 0x040E}, {"pl", 0x0415},    {"pl_PL", 0x0415},
    {"ar", 0x0401},    {"ar_SA", 0x0401}, {"bg", 0x0402},    {"bg_BG", 0x0402}, {"ca", 0x0403},
    {"ca_ES", 0x0403}, {"he", 0x040D},    {"he_IL", 0x040D}, {"is", 0x040F},    {"is_IS", 0x040F},
    {"ro", 0x0418},    {"ro_RO", 0x0418}, {"hr", 0x041A},    {"hr_HR", 0x041A}, {"sk", 0x041B},
    {"sk_SK", 0x041B}, {"th", 0x041E},    {"th_TH", 0x041E}, {"id", 0x0421},    {"id_ID", 0x0421},
    {"uk", 0x0422},    {"uk_UA", 0x0422}, {"sl", 0x0424},    {"sl_SI", 0x0424}, {"et", 0x0425},
    {"et_EE", 0x0425}, {"lv", 0x0426},    {"lv_LV", 0x0426}, {"lt", 0x0427},    {"lt_LT", 0x0427},
    {"vi", 0x042A},    {"vi_VN", 0x042A}, {"sr", 0x241A},    {"sr_RS", 0x241A},
};

// The language identifier of a locale name such as "de_AT.UTF-8@euro".
uint32_t LanguageOfLocaleName(std::string_view name) {
    name = name.substr(0, name.find_first_of(".@"));
    std::string_view language = name.substr(0, name.find('_'));
    uint32_t language_only = 0;
    for (const LocaleName& entry : kLocaleNames) {
        if (name == entry.name) {
            return entry.language;
        }
        if (language_only == 0 && language == entry.name) {
            language_only = entry.language;
        }
    }
    return language_only ? language_only : 0x0409;
}

uint32_t LanguageOfEnvironment() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value) {
            return LanguageOfLocaleName(value);
        }
    }
    return 0x0409;
}

}  // namespace

uint32_t UserDefaultLangId() {
    return LanguageOfEnvironment();
}

uint32_t UserDefaultUILanguage() {
    return LanguageOfEnvironment();
}

bool Platform::IsInstalledLocale(uint32_t language) {
    for (const LocaleName& entry : kLocaleNames) {
        if (entry.language == language) {
            return true;
        }
    }
    return false;
}

}  // namespace Base
