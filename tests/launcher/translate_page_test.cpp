#include <gtest/gtest.h>

#include <random>
#include <string>

#include "launcher/page/replace_all.h"
#include "launcher/page/translate_page.h"

namespace {

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

// Pages full of "#"s, keys of the usual form and texts that, joined with their
// surroundings, form other keys: the result must be that of applying the keys
// one after the other. Every few rounds a text with a "#" takes the general way.
TEST(TranslatePage, SameResultAsKeyAfterKey) {
    std::mt19937 random(4242);
    auto word = [&](size_t max_length, std::u16string_view alphabet) {
        std::u16string text(random() % (max_length + 1), u'a');
        for (char16_t& c : text) {
            c = alphabet[random() % alphabet.size()];
        }
        return text;
    };
    for (int round = 0; round < 20000; ++round) {
        TranslationMap translations;
        for (int k = random() % 5; k > 0; --k) {
            translations[BaseString(u"#" + word(2, u"ab") + u"#")] =
                BaseString(word(3, round % 7 == 0 ? u"ab#" : u"ab"));
        }
        BaseString page(word(24, u"ab##"));
        BaseString expected = KeyByKey(page, translations);
        BaseString translated = TranslatePage(page, translations);
        ASSERT_EQ(translated, expected) << "page " << Narrow(page.view());
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
