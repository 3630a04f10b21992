#include <gtest/gtest.h>

#include <vector>

#include "base/locale.h"
#include "error/messages.h"
#include "function_runnable.h"
#include "mt/current_thread.h"
#include "nls/language.h"
#include "nls/language_choice.h"
#include "object/manager.h"
#include "properties/persistent_properties.h"
#include "test_support.h"

namespace {

using Languages = std::vector<uint32_t>;

TEST(LanguageChoice, TheWantedItsGroupItsPrimaryLanguageOrTheFirstEntry) {
    struct Case {
        uint32_t wanted;
        Languages list;
        uint32_t picked;
    } cases[] = {
        {0x0407, {0x0409, 0x0407}, 0x0407},
        {0x0C07, {0x0409, 0x0407}, 0x0407},          // German (Austria): primary language
        {0x1404, {0x0409, 0x0404}, 0x0404},          // first equivalence group
        {0x0C04, {0x0409, 0x1404, 0x0404}, 0x0404},  // in group order, not list order
        {0x1004, {0x0409, 0x0804}, 0x0804},          // second group
        {0x0804, {0x0409, 0x1004}, 0x1004},
        {0x0404, {0x0409, 0x0804}, 0x0804},  // no group member: same primary language
        {0x0419, {0x0409, 0x0407}, 0x0409},  // nothing alike: the first entry
        {0x0809, {0x0407, 0x0409}, 0x0409},
        {0x0000, {0x0416, 0x0409}, 0x0416},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Nls::ChooseLanguage(c.wanted, c.list), c.picked) << std::hex << c.wanted;
    }
}

TEST(LanguageChoice, LangIdIsLowerCaseHexadecimalOnly) {
    struct Case {
        std::u16string_view text;
        uint32_t language;
    } cases[] = {
        {u"0407", 0x0407}, {u"40c", 0x040C}, {u"040C", 0},      {u"", 0},
        {u" 0407", 0},     {u"0x407", 0},    {u"041f", 0x041F},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Nls::ParseLanguageId(c.text), c.language) << Utf8(BaseString(c.text));
    }
}

bool AllInstalled(uint32_t) {
    return true;
}
bool EnglishAndGermanInstalled(uint32_t language) {
    return language == 0x0409 || language == 0x0407;
}
bool NothingInstalled(uint32_t) {
    return false;
}

TEST(LanguageChoice, SupportedLanguagesFromLangListAndInstalledLocales) {
    const Languages all(std::begin(Nls::kCandidateLanguages), std::end(Nls::kCandidateLanguages));
    struct Case {
        std::u16string_view lang_list;
        bool (*installed)(uint32_t);
        Languages supported;
    } cases[] = {
        {u"", AllInstalled, all},
        {u"0407,0409", AllInstalled, {0x0409, 0x0407}},  // candidate order
        {u"x0411y0c0a", AllInstalled, {0x0411, 0x0C0A}},
        {u"040C", AllInstalled, {0x0409}},  // upper case allows nothing: English
        {u"", EnglishAndGermanInstalled, {0x0409, 0x0407}},
        {u"0411", EnglishAndGermanInstalled, {0x0409}},
        {u"", NothingInstalled, all},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Nls::SupportedLanguages(c.lang_list, c.installed), c.supported)
            << Utf8(BaseString(c.lang_list));
    }
}

// Each test starts from a language factory that reads the registry afresh and
// leaves the product key as it found it (without LangId and LangList).
class LanguageTest : public testing::Test {
protected:
    void SetUp() override { Reset(); }
    void TearDown() override {
        Reset();
        Base::SetInstalledLocalesForTesting({});
    }

    // The main thread's language is the last one that holds the factory.
    static void Reset() {
        Mt::GetCurrentThread()->SetSlot(BaseString(Nls::kLanguageSlot), Value());
        PersistentProperties product(u"Orvella", PropertyScope::kMachine);
        product.DeleteValue(u"LangId");
        product.DeleteValue(u"LangList");
    }
    static void WriteProduct(const char16_t* name, const char16_t* value) {
        PersistentProperties(u"Orvella", PropertyScope::kMachine).SetString(name, value);
    }
    static Ref<Nls::Language::Creator> Creator() {
        return Object::Create<Nls::Language::Creator>(BaseString(Nls::kLanguageCreatorClsid));
    }
    static uint32_t IdOf(const Ref<Nls::Language>& language) {
        return static_cast<uint32_t>(language->GetProperty(0).GetInteger());
    }
    static uint32_t DefaultChoice() {
        Ref<Nls::Language> language = Creator()->CreateLanguage(0)->Choose({});
        Mt::GetCurrentThread()->SetSlot(BaseString(Nls::kLanguageSlot), Value());
        return IdOf(language);
    }
};

TEST_F(LanguageTest, LangIdForcesAnInstalledLanguage) {
    WriteProduct(u"LangId", u"0407");
    EXPECT_EQ(DefaultChoice(), 0x0407u);

    WriteProduct(u"LangId", u"040C");  // upper case: the user's UI language decides
    Languages supported;
    Creator()->GetSupported(supported);
    EXPECT_EQ(DefaultChoice(), Nls::ChooseLanguage(Base::UserDefaultUILanguage(), supported));
}

TEST_F(LanguageTest, LangListRestrictsTheSupportedLanguages) {
    WriteProduct(u"LangList", u"0409,0407");
    WriteProduct(u"LangId", u"0c07");
    Languages supported;
    Creator()->GetSupported(supported);
    EXPECT_EQ(supported, (Languages{0x0409, 0x0407}));
    EXPECT_EQ(DefaultChoice(), 0x0407u);

    Reset();
    Base::SetInstalledLocalesForTesting({0x0409, 0x0416});
    WriteProduct(u"LangList", u"0407");
    Creator()->GetSupported(supported);
    EXPECT_EQ(supported, (Languages{0x0409}));
}

TEST_F(LanguageTest, CreatorAndPropertyErrors) {
    Base::SetInstalledLocalesForTesting({0x0409});
    EXPECT_EQ(IdOf(Creator()->CreateLanguage(0)), 0u);
    EXPECT_EQ(IdOf(Creator()->CreateLanguage(0x0409)), 0x0409u);
    ScopedLanguage english(0x0409);
    EXPECT_EQ(Utf8(ErrorOf([] { Creator()->CreateLanguage(0x0407); }).GetText()),
              "An internal error occurred (nls: unsup-lng(0407)).");
    EXPECT_EQ(Utf8(ErrorOf([] { Creator()->CreateLanguage(0)->GetProperty(1); }).GetText()),
              "An internal error occurred (nls: bad-lng-prop(1)).");
}

TEST_F(LanguageTest, TheCurrentLanguageLivesInTheThreadSlot) {
    Ref<Mt::Thread> thread = Start([] {
        Ref<Mt::CurrentThread> current = Mt::GetCurrentThread();
        Ref<Nls::Language> language = Creator()->GetCurrent();
        EXPECT_TRUE(current->GetSlot(BaseString(Nls::kLanguageSlot)).GetFace() == language);
        EXPECT_TRUE(Creator()->GetCurrent() == language);
        EXPECT_EQ(CurrentLanguageId(), IdOf(language));

        Ref<Nls::Language> japanese = Creator()->CreateLanguage(0x0411);
        EXPECT_EQ(japanese->MakeCurrent(), 0x0411u);
        EXPECT_TRUE(Creator()->GetCurrent() == japanese);
        EXPECT_EQ(std::u16string_view(LocalizedText(InternalErrorText)),
                  u"内部エラーが発生しました (%1: %2)。");

        ScopedLanguage english(0x0409);
        current->SetSlot(BaseString(Nls::kLanguageSlot), Value(u"not a language"));
        EXPECT_EQ(Utf8(ErrorOf([] { Creator()->GetCurrent(); }).GetText()),
                  "An internal error occurred (autorun: val-conv2(2,4)).");
        current->SetSlot(BaseString(Nls::kLanguageSlot), Value(current));
        EXPECT_EQ(Utf8(ErrorOf([] { Creator()->GetCurrent(); }).GetText()),
                  "An internal error occurred (nls: Cast<IID_Nls::Language>).");
    });
    thread->Join(true);
    EXPECT_FALSE(thread->GetError().IsSet()) << Utf8(thread->GetError().GetText());
}

TEST_F(LanguageTest, TheHookAnswersEvenWhenTheThreadsLanguageIsBroken) {
    // Finding the language fails with an Error, whose text needs the language
    // again: the hook falls back to the user's language instead of recursing.
    uint32_t answered = 0;
    Ref<Mt::Thread> thread = Start([&] {
        Mt::GetCurrentThread()->SetSlot(BaseString(Nls::kLanguageSlot),
                                        Value(Mt::GetCurrentThread()));
        answered = CurrentLanguageId();
    });
    thread->Join(true);
    EXPECT_FALSE(thread->GetError().IsSet());
    EXPECT_EQ(answered, Base::UserDefaultUILanguage());
}

TEST_F(LanguageTest, ThreadsStartedFromAThreadGetItsLanguage) {
    uint32_t seen = 0;
    BaseString text;
    Ref<Mt::Thread> thread = Start([&] {
        Creator()->CreateLanguage(0x0C0A)->MakeCurrent();
        Start([&] {
            seen = IdOf(Creator()->GetCurrent());
            text = Error::Internal("x", "y").GetText();
        })->Join(true);
    });
    thread->Join(true);
    EXPECT_EQ(seen, 0x0C0Au);
    EXPECT_EQ(text, u"Se ha producido un error interno (y: x).");
}

}  // namespace
