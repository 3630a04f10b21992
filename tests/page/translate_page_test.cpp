#include <gtest/gtest.h>

#include <random>
#include <string>

#include "launcher/page/replace_all.h"
#include "launcher/page/translate_page.h"

namespace {

// Keys no page here holds: with them, a handful of keys is enough to have the
// page cut at its "#"s rather than gone over key by key.
void AddUnusedKeys(TranslationMap& translations) {
    for (char16_t c = u'p'; c < u'y'; ++c) {
        translations[BaseString(std::u16string(u"#z") + c + u"#")] = BaseString(u"unused");
    }
}

BaseString KeyByKey(const BaseString& page, const TranslationMap& translations) {
    BaseString result = page;
    for (const auto& [key, text] : translations) {
        result = ReplaceAll(result, key, text);
    }
    return result;
}

std::string Narrow(std::u16string_view text) {
    return std::string(text.begin(), text.end());
}

// Pages full of "#"s, keys whose texts, joined with their surroundings or cut
// at their own "#"s, form other keys or their own again: the result must be
// that of applying the keys one after the other. Now and then an id holds a
// "#" and takes the general way.
TEST(TranslatePage, SameResultAsKeyAfterKey) {
    std::mt19937 random(4242);
    auto word = [&](size_t max_length, std::u16string_view alphabet) {
        std::u16string text(random() % (max_length + 1), u'a');
        for (char16_t& c : text) {
            c = alphabet[random() % alphabet.size()];
        }
        return text;
    };
    for (int round = 0; round < 40000; ++round) {
        TranslationMap translations;
        for (int k = random() % 5; k > 0; --k) {
            std::u16string id = word(2, round % 11 == 0 ? u"ab#" : u"ab");
            translations[BaseString(u"#" + id + u"#")] =
                BaseString(word(round % 3 == 0 ? 6 : 3, round % 2 ? u"ab#" : u"ab"));
        }
        if (round % 5 != 0) {
            AddUnusedKeys(translations);
        }
        BaseString page(word(24, u"ab##"));
        BaseString expected = KeyByKey(page, translations);
        BaseString translated = TranslatePage(page, translations);
        ASSERT_EQ(translated, expected) << "page " << Narrow(page.view());
    }
}

// Texts that hold their own key, or that make the page grow with every
// replacement: the same bounds as ReplaceAll's, found in the same places.
TEST(TranslatePage, BoundedLikeReplaceAll) {
    const std::pair<std::u16string_view, std::u16string_view> cases[] = {
        {u"#a#", u"x#a#y"},
        {u"#ab#", u"b#aaa"},
        {u"#a#", u"#a#a#"},
        {u"#aa#", u"a#aa##a"},
        // Every replacement makes the next match: the budget of searches ends it.
        {u"#a#", u"a##a"},
    };
    for (const auto& [key, text] : cases) {
        TranslationMap translations{{BaseString(key), BaseString(text)}};
        AddUnusedKeys(translations);
        for (std::u16string_view page :
             {u"#a#", u"#a##", u"#ab#ab#", u"#aa#aa#a#", u"x#ab#a#b#y"}) {
            EXPECT_EQ(TranslatePage(BaseString(page), translations),
                      KeyByKey(BaseString(page), translations))
                << Narrow(key) << " " << Narrow(text) << " " << Narrow(page);
        }
    }
}

TEST(TranslatePage, LaterKeysSeeEarlierTexts) {
    TranslationMap translations{{BaseString(u"#a#"), BaseString(u"b")},
                                {BaseString(u"#xby#"), BaseString(u"joined")},
                                {BaseString(u"#z#"), BaseString(u"#a#")}};
    // "#xb" + "y#" form "#xby#" once "#a#" is gone; "#z#" brings "#a#" back too late.
    EXPECT_EQ(TranslatePage(BaseString(u"<#x#a#y#> #z#"), translations), u"<joined> #a#");
}

}  // namespace
