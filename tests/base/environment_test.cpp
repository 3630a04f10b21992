#include <gtest/gtest.h>

#include <map>

#include "base/environment.h"
#include "base/system_version.h"
#include "scoped_variable.h"
#include "test_support.h"

namespace {

using Base::VariableSyntax;

std::optional<BaseString> Expand(std::u16string_view text, VariableSyntax syntax) {
    static const std::map<std::u16string_view, std::u16string_view> kVariables = {
        {u"HOME", u"/home/ana"},
        {u"ProgramFiles", u"C:\\Program Files"},
        {u"EMPTY", u""},
        {u"A_1", u"x"}};
    return Base::ExpandVariables(text, syntax,
                                 [](std::u16string_view name) -> std::optional<BaseString> {
                                     auto found = kVariables.find(name);
                                     if (found == kVariables.end()) {
                                         return std::nullopt;
                                     }
                                     return BaseString(found->second);
                                 });
}

TEST(ExpandVariables, PutsInTheVariablesTheSystemsSyntaxNames) {
    struct Case {
        const char* rule;
        VariableSyntax syntax;
        std::u16string_view text;
        std::optional<std::u16string_view> expanded;
    } cases[] = {
        {"%NAME% is replaced", VariableSyntax::kPercent, u"%ProgramFiles%\\Orvella",
         u"C:\\Program Files\\Orvella"},
        {"an empty value is put in", VariableSyntax::kPercent, u"a%EMPTY%b", u"ab"},
        {"a % without a closing one stays", VariableSyntax::kPercent, u"100% sure", u"100% sure"},
        {"%% names no variable", VariableSyntax::kPercent, u"a%%b", u"a%%b"},
        {"an unset variable leaves nothing to expand", VariableSyntax::kPercent, u"%NOPE%\\x",
         std::nullopt},
        {"$ is plain text in the percent syntax", VariableSyntax::kPercent, u"$HOME", u"$HOME"},
        {"$NAME ends at the first other character", VariableSyntax::kDollar, u"$HOME/.config",
         u"/home/ana/.config"},
        {"${NAME} may be followed by name characters", VariableSyntax::kDollar, u"${A_1}y", u"xy"},
        {"a $ before no name stays", VariableSyntax::kDollar, u"cost $5 and $", u"cost $5 and $"},
        {"an unclosed ${ stays", VariableSyntax::kDollar, u"${HOME", u"${HOME"},
        {"an unset $NAME leaves nothing to expand", VariableSyntax::kDollar, u"$NOPE/x",
         std::nullopt},
        {"% is plain text in the dollar syntax", VariableSyntax::kDollar, u"%HOME%", u"%HOME%"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        std::optional<BaseString> expanded = Expand(c.text, c.syntax);
        ASSERT_EQ(expanded.has_value(), c.expanded.has_value());
        if (expanded) {
            EXPECT_EQ(*expanded, BaseString(*c.expanded));
        }
    }
}

TEST(EnvironmentVariable, ReadsTheProcesssEnvironment) {
    {
        ScopedVariable set("ORVELLA_TEST_VARIABLE", "D\xC3\xA9j\xC3\xA0 vu");
        EXPECT_EQ(Base::EnvironmentVariable(u"ORVELLA_TEST_VARIABLE"),
                  std::optional<BaseString>(BaseString(u"Déjà vu")));
        std::u16string_view text = Base::NativeVariableSyntax() == VariableSyntax::kPercent
                                       ? u"[%ORVELLA_TEST_VARIABLE%]"
                                       : u"[$ORVELLA_TEST_VARIABLE]";
        EXPECT_EQ(Base::ExpandEnvironmentVariables(text),
                  std::optional<BaseString>(BaseString(u"[Déjà vu]")));
    }
    EXPECT_EQ(Base::EnvironmentVariable(u"ORVELLA_TEST_VARIABLE"), std::nullopt);
}

// The machines this runs on are Linux 3 or later, and Wine that claims
// Windows XP (5.1) or later.
TEST(SystemVersion, IsTheRunningSystems) {
    std::vector<uint32_t> version = Base::SystemVersion();
    ASSERT_GE(version.size(), 2u);
    EXPECT_GE(version[0], 3u);
}

}  // namespace
