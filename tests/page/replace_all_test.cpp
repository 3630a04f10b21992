#include <gtest/gtest.h>

#include <random>
#include <string>

#include "launcher/page/replace_all.h"

namespace {

// Restart from the start of the text after every replacement; gives up (false)
// when that runs too long to be a case that ends.
bool RestartingReplaceAll(std::u16string& text, std::u16string_view key,
                          std::u16string_view value) {
    for (int step = 0; step < 2000; ++step) {
        size_t found = text.find(key);
        if (found == std::u16string::npos) {
            return true;
        }
        text.replace(found, key.size(), value);
        if (text.size() > 4000) {
            return false;
        }
    }
    return false;
}

TEST(ReplaceAll, MatchesTheRestartingRuleWheneverItEnds) {
    std::mt19937 random(20261210);
    auto word = [&](size_t max_length) {
        std::u16string text(random() % (max_length + 1), u'a');
        for (char16_t& c : text) {
            c = u"ab#"[random() % 3];
        }
        return text;
    };
    int compared = 0;
    for (int round = 0; round < 20000; ++round) {
        std::u16string text = word(12);
        std::u16string key = word(3);
        std::u16string value = word(5);
        if (key.empty() || value.find(key) != std::u16string::npos) {
            continue;
        }
        std::u16string expected = text;
        if (!RestartingReplaceAll(expected, key, value)) {
            continue;
        }
        ++compared;
        ASSERT_EQ(ReplaceAll(BaseString(text), key, value).view(), expected)
            << "text " << std::string(text.begin(), text.end()) << " key "
            << std::string(key.begin(), key.end()) << " value "
            << std::string(value.begin(), value.end());
    }
    EXPECT_GT(compared, 10000);
}

TEST(ReplaceAll, EndsWhereRestartingWouldNot) {
    // The value holds the key: each value is searched no further.
    EXPECT_EQ(ReplaceAll(BaseString(u"#k# and #k#"), u"#k#", u"[#k#]"), u"[#k#] and [#k#]");
    // "ab" -> "baaa" triples the "a"s before each "b": bounded, not exponential.
    std::u16string runaway = u"a" + std::u16string(40, u'b');
    BaseString result = ReplaceAll(BaseString(runaway), u"ab", u"baaa");
    EXPECT_LT(result.length(), 2'000'000u);
    EXPECT_EQ(ReplaceAll(BaseString(u"abc"), u"", u"x"), u"abc");
}

}  // namespace
