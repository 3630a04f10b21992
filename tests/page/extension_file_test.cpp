#include "launcher/page/extension_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "base/platform.h"
#include "error/error.h"
#include "object/manager.h"
#include "temp_folder.h"
#include "xml/reader.h"

namespace {

std::string Describe(const Condition& condition);

std::string Text(const BaseString& text) {
    return text.ToUtf8();
}

std::string Describe(const Version& version) {
    std::string text;
    for (uint32_t number : version) {
        text += (text.empty() ? "" : ".") + std::to_string(number);
    }
    return text;
}

template <class T>
std::string Optional(const char* name, const std::optional<T>& value) {
    if (!value) {
        return "";
    }
    if constexpr (std::is_same_v<T, Version>) {
        return std::string(" ") + name + "=" + Describe(*value);
    } else if constexpr (std::is_same_v<T, BaseString>) {
        return std::string(" ") + name + "=" + Text(*value);
    } else {
        return std::string(" ") + name + "=" + std::to_string(static_cast<int>(*value));
    }
}

// The condition as one line: the kind of test and what it was given.
std::string Describe(const Condition& condition) {
    struct Visitor {
        std::string operator()(const Combination& combination) {
            std::string text = combination.how == Combine::kAll   ? "all("
                               : combination.how == Combine::kAny ? "any("
                                                                  : "not(";
            for (size_t i = 0; i < combination.operands.size(); ++i) {
                text += (i ? "," : "") + Describe(combination.operands[i]);
            }
            return text + ")";
        }
        std::string operator()(const RegistryTest& test) {
            const char* views[] = {"", " view=64", " view=32"};
            return std::string(test.hive == RegistryHive::kMachine ? "hklm:" : "hkcu:") +
                   Text(test.key) + Optional("value", test.value) +
                   Optional("equals", test.equals) + Optional("at-least", test.at_least) +
                   views[static_cast<int>(test.view)];
        }
        std::string operator()(const PathTest& test) {
            return (test.folder ? "folder:" : "file:") + Text(test.path);
        }
        std::string operator()(const SystemTest& test) {
            return "system" + Optional("os", test.os) + Optional("bits", test.bits) +
                   Optional("processor", test.processor) +
                   Optional("version", test.version_at_least);
        }
        std::string operator()(const EnvironmentTest& test) {
            return "env:" + Text(test.name) + Optional("equals", test.equals);
        }
        std::string operator()(const ProgramTest& test) { return "program:" + Text(test.name); }
        std::string operator()(const FreeSpaceTest& test) {
            return "space:" + Text(test.path) + ">=" + std::to_string(test.at_least);
        }
        std::string operator()(const BrokenCondition&) { return "broken"; }
    };
    return std::visit(Visitor{}, condition.test);
}

std::string Describe(const Action& action) {
    struct Visitor {
        std::string operator()(const std::monostate&) { return "nothing"; }
        std::string operator()(const OpenAction& open) { return "open " + Text(open.target); }
        std::string operator()(const RunAction& run) {
            std::string text = "run " + Text(run.program);
            for (const BaseString& argument : run.arguments) {
                text += " [" + Text(argument) + "]";
            }
            return text + (run.elevated ? " elevated" : "") + (run.close_menu ? " closing" : "");
        }
        std::string operator()(const BrokenAction&) { return "broken"; }
    };
    return std::visit(Visitor{}, action);
}

struct CollectedProblems final : ExtensionFileProblems {
    void Report(const Ref<Xml::Node>&, const BaseString& message) override {
        messages += (messages.empty() ? "" : "\n") + Text(message);
    }
    std::string messages;
};

Ref<Xml::Document> Parse(const std::string& xml) {
    return Object::Create<Xml::Reader>(BaseString(Xml::kReaderClsid))
        ->readString(BaseString::FromUtf8(xml));
}

// Every declaration as "CLASS | condition | action", one a line.
std::string Declarations(const std::string& xml, CollectedProblems& problems) {
    std::string text;
    for (const ExtensionDeclaration& declaration :
         ReadExtensionDeclarations(Parse(xml), &problems)) {
        text += (text.empty() ? "" : "\n") + Text(declaration.clsid) + " | " +
                (declaration.shown_when ? Describe(*declaration.shown_when) : "always") + " | " +
                Describe(declaration.action);
    }
    return text;
}

// Conditions nested `depth` deep: "not"s around a test.
std::string Nested(int depth) {
    std::string text;
    for (int i = 1; i < depth; ++i) {
        text += "<not>";
    }
    text += "<program name='sh'/>";
    for (int i = 1; i < depth; ++i) {
        text += "</not>";
    }
    return text;
}

TEST(ExtensionFile, ReadsDeclarations) {
    struct Case {
        const char* rule;
        std::string xml;  // inside <extensions>
        const char* declarations;
        const char* problems;  // "" when none
    } cases[] = {
        {"a registry condition under not, a program run with arguments",
         R"(<extension class="CID_A::Setup">
              <shown-when><not><registry key="HKLM\SOFTWARE\Orvella" value=""/></not></shown-when>
              <run program="setup.exe" elevated="yes" close-menu="yes">
                <argument>/quiet</argument><argument> two words </argument><argument/>
              </run>
            </extension>)",
         "CID_A::Setup | not(hklm:SOFTWARE\\Orvella value=) | run setup.exe [/quiet] [ two words "
         "] [] elevated closing",
         ""},
        {"a registry view: 64, 32 or any (the default)",
         R"(<extension class="A"><shown-when>
              <registry key="HKLM\SOFTWARE\A" view="64"/><registry key="HKLM\SOFTWARE\A" view="32"/>
              <registry key="HKLM\SOFTWARE\A" view="any"/></shown-when></extension>
            <extension class="B"><shown-when><registry key="HKLM\B" view="wow"/></shown-when>
            </extension>)",
         "A | all(hklm:SOFTWARE\\A view=64,hklm:SOFTWARE\\A view=32,hklm:SOFTWARE\\A) | nothing\n"
         "B | broken | nothing",
         "\"view\" is \"64\", \"32\" or \"any\", not \"wow\""},
        {"an argument on lines of its own is the text of its line; blanks without a line "
         "break stay",
         "<extension class='A'><run program='setup.exe'>\n"
         "  <argument>\n    /quiet\n  </argument>\n"
         "  <argument>\r\n\t/log: a b \r\n</argument>\n"
         "  <argument> one line </argument>\n"
         "  <argument>  first\n  second\n</argument>\n"
         "  <argument><![CDATA[\n  x]]></argument>\n"
         "  <argument>\n\n</argument>\n"
         "</run></extension>",
         "A | always | run setup.exe [/quiet] [/log: a b] [ one line ] [  first\n  second] [x] []",
         ""},
        {"no condition: always shown; no action: nothing",
         R"(<extension class="CID_A::Web"><open target="https://example.com/"/></extension>
            <extension class="CID_A::Label"/>)",
         "CID_A::Web | always | open https://example.com/\nCID_A::Label | always | nothing", ""},
        {"every kind of test; several under shown-when must all hold",
         R"(<extension class="C"><shown-when>
              <registry key="HKEY_CURRENT_USER\Software\X" value="Version" at-least="2.1"/>
              <registry key="hkcu\Software\X" value="Mode" equals="full"/>
              <file path="$HOME/a.txt"/><folder path="rsc"/>
              <system os="windows" bits="64" processor="x64" version-at-least="10.0.19041"/>
              <environment name="LANG" equals="C"/><environment name="HOME"/>
              <any><program name="xdg-open"/><free-space path="/" at-least="2 GB"/></any>
            </shown-when></extension>)",
         "C | all(hkcu:Software\\X value=Version at-least=2.1,hkcu:Software\\X value=Mode "
         "equals=full,file:$HOME/a.txt,folder:rsc,system os=0 bits=64 processor=2 "
         "version=10.0.19041,env:LANG equals=C,env:HOME,any(program:xdg-open,space:/>=2147483648))"
         " | nothing",
         ""},
        {"an unknown condition or attribute hides the element",
         R"(<extension class="C"><shown-when><any><sky colour="blue"/>
              <file path="x" size="3"/><folder path="y"/></any></shown-when></extension>)",
         "C | broken | nothing", "unknown condition <sky>\nunknown attribute \"size\" of <file>"},
        {"a condition with no test is broken",
         R"(<extension class="A"><shown-when/></extension>
            <extension class="B"><shown-when><system/></shown-when></extension>
            <extension class="C"><shown-when><all/></shown-when></extension>
            <extension class="D"><shown-when><not/></shown-when></extension>)",
         "A | broken | nothing\nB | broken | nothing\nC | broken | nothing\nD | broken | nothing",
         "a condition with no test: <shown-when> is empty\na condition with no test: <system> "
         "names nothing\na condition with no test: <all> is empty\n<not> holds exactly one "
         "condition"},
        {"bad values break the condition or the action",
         R"(<extension class="A"><shown-when><registry key="HKCR\x"/></shown-when></extension>
            <extension class="B"><shown-when><system version-at-least="ten"/></shown-when></extension>
            <extension class="C"><shown-when><free-space path="/" at-least="lots"/></shown-when></extension>
            <extension class="D"><run program="a" elevated="sure"/></extension>
            <extension class="E"><shown-when><program name="bin/sh"/></shown-when><run/></extension>)",
         "A | broken | nothing\nB | broken | nothing\nC | broken | nothing\nD | always | broken\n"
         "E | broken | broken",
         "a registry key starts with HKLM\\ or HKCU\\: \"HKCR\\x\"\n\"version-at-least\" is no "
         "version (numbers separated by dots): \"ten\"\n\"at-least\" is a number of bytes (\"500 "
         "MB\"), not \"lots\"\n\"elevated\" is \"yes\" or \"no\", not \"sure\"\na program on the "
         "search path is named without a folder: \"bin/sh\"\n<run> needs the attribute "
         "\"program\""},
        {"a mistake in the extension's own content breaks both its parts",
         R"(<extension class="A"><shown-when><folder path="x"/></shown-when>
              <open target="x"/><colour/></extension>)",
         "A | broken | broken", "unknown element <colour> in <extension>"},
        {"a class declared twice: the first counts",
         R"(<extension class="A"><open target="1"/></extension>
            <extension class="A"><open target="2"/></extension>)",
         "A | always | open 1", "the class \"A\" is declared twice: the first declaration counts"},
        {"what is no extension declares nothing",
         R"(<extension/><extension class=""/><item class="B"/>text)", "",
         "text is not expected in <extensions>\n<extension> needs the attribute \"class\"\nthe "
         "class identifier is empty\nunknown element <item> in <extensions>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        CollectedProblems problems;
        std::string declarations = Declarations("<extensions>" + c.xml + "</extensions>", problems);
        if (*c.declarations) {
            EXPECT_EQ(declarations, c.declarations);
        }
        EXPECT_EQ(problems.messages, c.problems);
    }
}

TEST(ExtensionFile, DeepNestingLeavesTheShallowDeclarationWhole) {
    CollectedProblems problems;
    std::string declarations = Declarations(
        "<extensions><extension class='A'><shown-when>" + Nested(kConditionDepthLimit) +
            "</shown-when></extension><extension class='B'><shown-when>" +
            Nested(kConditionDepthLimit + 1) + "</shown-when></extension></extensions>",
        problems);
    EXPECT_EQ(declarations.find("A | broken"), std::string::npos);
    EXPECT_NE(declarations.find("B | broken"), std::string::npos);
    EXPECT_EQ(problems.messages, "conditions nest more than 32 deep");
}

TEST(ExtensionFile, AnotherRootDeclaresNothing) {
    CollectedProblems problems;
    EXPECT_EQ(Declarations("<content><extension class='A'/></content>", problems), "");
    EXPECT_EQ(problems.messages, "the file holds one element, <extensions>");
}

TEST(ExtensionFile, ParsesVersionsAndSizes) {
    struct VersionCase {
        std::u16string_view text;
        std::optional<Version> version;
    } versions[] = {
        {u"10", Version{10}},
        {u"10.0.19041", Version{10, 0, 19041}},
        {u"999999999", Version{999999999}},
        {u"1000000000", std::nullopt},
        {u"1.2.3.4.5.6.7.8", Version{1, 2, 3, 4, 5, 6, 7, 8}},
        {u"1.2.3.4.5.6.7.8.9", std::nullopt},
        {u"", std::nullopt},
        {u"1.", std::nullopt},
        {u".1", std::nullopt},
        {u"1..2", std::nullopt},
        {u"v1", std::nullopt},
        {u"1 ", std::nullopt},
    };
    for (const VersionCase& c : versions) {
        SCOPED_TRACE(BaseString(c.text).ToUtf8());
        EXPECT_EQ(ParseVersion(c.text), c.version);
    }
    EXPECT_TRUE(VersionAtLeast({10, 0, 19041}, {10}));
    EXPECT_TRUE(VersionAtLeast({10}, {10, 0, 0}));
    EXPECT_FALSE(VersionAtLeast({6, 3}, {10}));
    EXPECT_FALSE(VersionAtLeast({10, 0}, {10, 0, 1}));
    EXPECT_TRUE(VersionAtLeast({6, 10}, {6, 9, 99}));

    struct SizeCase {
        std::u16string_view text;
        std::optional<uint64_t> bytes;
    } sizes[] = {
        {u"0", 0},
        {u"512", 512},
        {u"512 b", 512},
        {u"3KB", 3072},
        {u"500 MB", 500ull << 20},
        {u"2\tgb", 2ull << 30},
        {u"1 TB", 1ull << 40},
        {u"18446744073709551615", UINT64_MAX},
        {u"18446744073709551616", std::nullopt},
        {u"16777216 TB", std::nullopt},
        {u"2 GiB", std::nullopt},
        {u"MB", std::nullopt},
        {u"-1", std::nullopt},
    };
    for (const SizeCase& c : sizes) {
        SCOPED_TRACE(BaseString(c.text).ToUtf8());
        EXPECT_EQ(ParseByteSize(c.text), c.bytes);
    }
}

// Runs in a temporary folder as the launcher runs in the medium's.
class ExtensionFileOnMedium : public ::testing::Test {
protected:
    ExtensionFileOnMedium() : previous_(std::filesystem::current_path()) {
        std::filesystem::create_directories(temp_.Native(u"rsc"));
        std::filesystem::current_path(temp_.Native(u""));
    }
    ~ExtensionFileOnMedium() override { std::filesystem::current_path(previous_); }

    TempFolder temp_;
    std::filesystem::path previous_;
};

TEST_F(ExtensionFileOnMedium, AMediumWithoutTheFileDeclaresNothing) {
    EXPECT_FALSE(ReadExtensionFile(nullptr));
    EXPECT_TRUE(LoadMediumExtensions().empty());
}

TEST_F(ExtensionFileOnMedium, ReadsTheMediumsFileWithPositions) {
    temp_.WriteFile(u"rsc/extensions.xml",
                    "<?xml version='1.0'?>\n<extensions>\n  <extension class='A'/>\n</extensions>");
    Xml::NodePositions positions;
    Ref<Xml::Document> document = ReadExtensionFile(&positions);
    ASSERT_TRUE(document);
    std::vector<ExtensionDeclaration> declarations = ReadExtensionDeclarations(document, nullptr);
    ASSERT_EQ(declarations.size(), 1u);
    std::optional<Xml::TextPosition> at = positions.Find(declarations[0].element);
    ASSERT_TRUE(at);
    EXPECT_EQ(at->line, 3);
    EXPECT_EQ(at->column, 3);
    EXPECT_EQ(LoadMediumExtensions().size(), 1u);
}

// A file that cannot be read is an error for the check, and for the launcher
// a medium that declares nothing.
TEST_F(ExtensionFileOnMedium, AnUnreadableFileDeclaresNothing) {
    struct Case {
        const char* rule;
        std::string bytes;
        bool too_large;
    } cases[] = {
        {"not UTF-8", "<extensions><extension class='\xFF\xFE'/></extensions>", false},
        {"no XML", "<extensions><extension class='A'>", false},
        {"too large", "<extensions>" + std::string(kExtensionFileLimit, ' ') + "</extensions>",
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        temp_.WriteFile(u"rsc/extensions.xml", c.bytes);
        try {
            ReadExtensionFile(nullptr);
            ADD_FAILURE() << "no error";
        } catch (const Error& error) {
            EXPECT_EQ(error.Has(ErrBadFormat), c.too_large);
        }
        EXPECT_TRUE(LoadMediumExtensions().empty());
    }
}

}  // namespace
