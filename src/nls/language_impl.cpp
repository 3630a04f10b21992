#include <utility>

#include "base/locale.h"
#include "error/messages.h"
#include "mt/current_thread.h"
#include "nls/language.h"
#include "nls/language_choice.h"
#include "object/factory.h"
#include "object/manager.h"
#include "object/singleton.h"
#include "object/system.h"
#include "properties/product_settings.h"

namespace Nls {

namespace {

// The identifier last made current on this thread, 0 if none.
thread_local uint32_t t_current_language = 0;

// The forced language ("LangId") when it names one, else the user's UI
// language.
uint32_t DefaultLanguage() {
    uint32_t forced = ParseLanguageId(ProductSettings::ForcedLanguage());
    return forced != 0 ? forced : Base::UserDefaultUILanguage();
}

bool HasClass(const char16_t* clsid) {
    return Object::GetManager()->HasClass(BaseString(clsid));
}

// The language factory: the supported languages, fixed when it is made.
class FactoryImpl final : public Object::Impl<FactoryImpl, Language::Creator> {
public:
    FactoryImpl()
        : supported_(SupportedLanguages(ProductSettings::LanguageList(), Base::IsInstalledLocale)) {
    }

    Ref<Language> CreateLanguage(uint32_t language) override;
    void GetSupported(std::vector<uint32_t>& supported) override { supported = supported_; }
    Ref<Language> GetCurrent() override;

    const std::vector<uint32_t>& Supported() const { return supported_; }

private:
    const std::vector<uint32_t> supported_;
};

class LanguageImpl final
    : public Object::Impl<LanguageImpl, Language, Mt::CurrentThread::Notification> {
public:
    LanguageImpl(uint32_t configured, Ref<FactoryImpl> factory)
        : configured_(configured), factory_(std::move(factory)) {}

    Ref<Language> Choose(const std::vector<uint32_t>& candidates) override {
        const std::vector<uint32_t>& list = candidates.empty() ? factory_->Supported() : candidates;
        return Object::New<LanguageImpl>(ChooseLanguage(Wanted(), list), factory_);
    }

    Value GetProperty(int32_t index) override {
        if (index != 0) {
            throw Error::Internal("bad-lng-prop(%d)", "nls", index);
        }
        return Value(static_cast<int32_t>(configured_));
    }

    uint32_t MakeCurrent() override {
        uint32_t picked = ChooseLanguage(Wanted(), factory_->Supported());
        Ref<Language> current = picked == configured_ ? Ref<Language>::Share(this)
                                                      : Object::New<LanguageImpl>(picked, factory_);
        Mt::GetCurrentThread()->SetSlot(BaseString(kLanguageSlot), Value(current));
        t_current_language = picked;
        return picked;
    }

    // A thread started from one with this language gets it too.
    void OnThreadStart() override { MakeCurrent(); }
    void OnThreadEnd() override {}

private:
    uint32_t Wanted() const { return configured_ != 0 ? configured_ : DefaultLanguage(); }

    const uint32_t configured_;
    const Ref<FactoryImpl> factory_;
};

Ref<Language> FactoryImpl::CreateLanguage(uint32_t language) {
    if (language != 0 && !Base::IsInstalledLocale(language)) {
        throw Error::Internal("unsup-lng(%04x)", "nls", language);
    }
    return Object::New<LanguageImpl>(language, Ref<FactoryImpl>::Share(this));
}

Ref<Language> FactoryImpl::GetCurrent() {
    bool use_slot = HasClass(Mt::kCurrentThreadClsid);
    if (use_slot) {
        Value held = Mt::GetCurrentThread()->GetSlot(BaseString(kLanguageSlot));
        if (!held.IsEmpty()) {
            return Cast<Language>(held.GetFace(), "nls");
        }
    }
    Ref<Language> current = CreateLanguage(0)->Choose({});
    if (use_slot) {
        current->MakeCurrent();
    }
    return current;
}

Ref<FactoryImpl> GetFactory() {
    static Object::WeakSingleton<FactoryImpl> singleton;
    return singleton.Get([] { return Object::New<FactoryImpl>(); });
}

// The language of localized texts on the calling thread. Never throws; a
// lookup that comes back here while it runs (an Error raised on the way
// needs its text) gets the user's UI language.
uint32_t LanguageHook() {
    if (t_current_language != 0) {
        return t_current_language;
    }
    thread_local bool inside = false;
    if (inside) {
        return Base::UserDefaultUILanguage();
    }
    inside = true;
    uint32_t language = 0;
    try {
        if (HasClass(kLanguageCreatorClsid)) {
            language = static_cast<uint32_t>(
                Object::Create<Language::Creator>(BaseString(kLanguageCreatorClsid))
                    ->GetCurrent()
                    ->GetProperty(0)
                    .GetInteger());
        }
    } catch (const Error&) {
        // The default language below is the answer then.
    }
    inside = false;
    return language != 0 ? language : DefaultLanguage();
}

// Created once at module start: makes the start-up thread's language current
// and routes every localized text through the hook.
class Initializer final : public Object::Impl<Initializer, Object::Startup> {
public:
    Initializer() {
        Object::Create<Language::Creator>(BaseString(kLanguageCreatorClsid))->GetCurrent();
        InstallLanguageHook(LanguageHook);
    }
};

// Serves the language factory (a weak singleton, so that it reads the registry
// again once every language of the old one is gone) and the initializer.
struct LanguageClasses {
    static void Describe(std::vector<Object::ClassRecord>& records) {
        records.push_back({BaseString(kLanguageCreatorClsid), FactoryImpl::InterfaceIds()});
        records.push_back({BaseString(kInitializerClsid), Initializer::InterfaceIds()});
    }
    Ref<BaseFace> Create(const BaseString& clsid) {
        if (clsid == kLanguageCreatorClsid) {
            return GetFactory();
        }
        if (clsid == kInitializerClsid) {
            return Object::New<Initializer>();
        }
        return {};
    }
};

Object::FactoryRegistration registration{Object::New<Object::FactoryImpl<LanguageClasses>>()};

}  // namespace

}  // namespace Nls
