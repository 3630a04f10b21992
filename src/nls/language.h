#pragma once

#include <cstdint>
#include <vector>

#include "object/ref.h"
#include "object/value.h"

namespace Nls {

// A user-interface language: a configured identifier (a 16-bit LANGID in 32
// bits; 0 for "the default language") and the rule that picks one language of
// a list for it.
class Language : public BaseFace {
public:
    static constexpr Iid kIid{u"IID_Nls::Language"};
    using Parent = BaseFace;

    class Creator;

    // A new language configured with the identifier the choice rule picks from
    // the candidates (the supported languages when there are none): the wanted
    // identifier itself, else the first member of its equivalence group, else
    // the first of the same primary language, else the first candidate.
    virtual Ref<Language> Choose(const std::vector<uint32_t>& candidates) = 0;
    // Index 0: the configured identifier as an integer; "bad-lng-prop(%d)" for
    // any other index.
    virtual Value GetProperty(int32_t index) = 0;
    // Makes the language the picked one of the supported languages current on
    // the calling thread (its thread slot and the localized texts) and returns
    // the identifier picked.
    virtual uint32_t MakeCurrent() = 0;
};

// The language factory (CID_Nls::Language_Creator).
class Language::Creator : public BaseFace {
public:
    static constexpr Iid kIid{u"IID_Nls::Language::Creator"};
    using Parent = BaseFace;

    // "unsup-lng(%04x)" for an identifier other than 0 that is not an installed
    // locale.
    virtual Ref<Language> CreateLanguage(uint32_t language) = 0;
    virtual void GetSupported(std::vector<uint32_t>& supported) = 0;
    // The calling thread's language, chosen and made current on first need.
    virtual Ref<Language> GetCurrent() = 0;
};

inline constexpr char16_t kLanguageCreatorClsid[] = u"CID_Nls::Language_Creator";
inline constexpr char16_t kInitializerClsid[] = u"CID_Nls::Initializer";
// The thread slot holding the thread's current language.
inline constexpr char16_t kLanguageSlot[] = u"TID_Nls::Language";

}  // namespace Nls
