#include "launcher/page/page_language.h"

#include "base/locale.h"
#include "error/error.h"
#include "nls/language.h"
#include "object/manager.h"
#include "object/value.h"

namespace {

Ref<Nls::Language::Creator> LanguageCreator() {
    return Object::Create<Nls::Language::Creator>(BaseString(Nls::kLanguageCreatorClsid));
}

}  // namespace

uint32_t CurrentPageLanguage() {
    Value language = LanguageCreator()->GetCurrent()->GetProperty(0);
    if (language.tag() != Value::kInteger) {
        throw Error::Internal("bad val type %d", "autorun", static_cast<int32_t>(Value::kInteger));
    }
    return static_cast<uint32_t>(language.GetInteger());
}

void MakeLanguageCurrentAsLangId(uint32_t language) {
    // A language configured with the identifier, made current through the same
    // choice among the supported languages that LangId goes through. LangId 0
    // stands for the user's interface language.
    uint32_t wanted = language != 0 ? language : Base::UserDefaultUILanguage();
    LanguageCreator()->CreateLanguage(0)->Choose({wanted})->MakeCurrent();
}
