#include "launcher/page/extension_condition.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "base/platform.h"
#include "object/manager.h"
#include "properties/registry.h"
#include "scoped_variable.h"
#include "temp_folder.h"
#include "xml/reader.h"

namespace {

constexpr bool kWindows = Base::kPathSeparator == u'\\';

// The condition of "<shown-when>" + xml + "</shown-when>", read without mistakes.
Condition Declared(const std::string& xml) {
    Ref<Xml::Document> document =
        Object::Create<Xml::Reader>(BaseString(Xml::kReaderClsid))
            ->readString(BaseString::FromUtf8("<extensions><extension class='A'><shown-when>" +
                                              xml + "</shown-when></extension></extensions>"));
    std::vector<ExtensionDeclaration> declarations = ReadExtensionDeclarations(document, nullptr);
    EXPECT_EQ(declarations.size(), 1u);
    return declarations.empty() || !declarations[0].shown_when ? Condition{BrokenCondition{}}
                                                               : *declarations[0].shown_when;
}

void SetString(Registry::Key key, const char16_t* name, std::u16string_view text) {
    std::u16string data(text);
    ASSERT_EQ(Registry::SetValue(key, name, Registry::kTypeString,
                                 reinterpret_cast<const uint8_t*>(data.c_str()),
                                 static_cast<uint32_t>((data.size() + 1) * 2)),
              0u);
}

// A key of each hive with values of each type, a medium folder with a file
// and a folder, a variable, and a program on the search path.
class ExtensionCondition : public ::testing::Test {
protected:
    ExtensionCondition() : previous_(std::filesystem::current_path()) {
        for (Registry::Key root : {Registry::MachineRoot(), Registry::UserRoot()}) {
            Registry::Key key = nullptr;
            EXPECT_EQ(Registry::CreateKey(root, kKey, &key), 0u);
            SetString(key, u"", u"default");
            SetString(key, u"Version", root == Registry::MachineRoot() ? u"10.2" : u"9.9.9");
            uint32_t number = 7;
            Registry::SetValue(key, u"Count", Registry::kTypeDword,
                               reinterpret_cast<const uint8_t*>(&number), 4);
            uint8_t bytes[] = {1, 2};
            Registry::SetValue(key, u"Bytes", Registry::kTypeBinary, bytes, 2);
            Registry::CloseKey(key);
        }
        std::filesystem::create_directories(temp_.Native(u"medium/rsc"));
        temp_.WriteFile(u"medium/setup.txt", "x");
        std::filesystem::create_directories(temp_.Native(u"bin"));
        temp_.WriteFile(kWindows ? u"bin/tool.exe" : u"bin/tool", "program");
        std::filesystem::permissions(temp_.Native(kWindows ? u"bin/tool.exe" : u"bin/tool"),
                                     std::filesystem::perms::owner_all);
        std::filesystem::current_path(temp_.Native(u"medium"));
    }
    ~ExtensionCondition() override {
        std::filesystem::current_path(previous_);
        for (Registry::Key root : {Registry::MachineRoot(), Registry::UserRoot()}) {
            Registry::DeleteKey(root, kKey);
        }
    }

    static constexpr char16_t kKey[] = u"Software\\OrvellaConditionTest";
    TempFolder temp_;
    std::filesystem::path previous_;
};

TEST_F(ExtensionCondition, EachTestAndItsCombinations) {
    ScopedVariable variable("ORVELLA_CONDITION", "on");
    ScopedVariable folder("ORVELLA_FOLDER", temp_.Native(u"bin").string());
    ScopedVariable search_path("PATH", temp_.Native(u"bin").string());
    const std::string variable_folder = kWindows ? "%ORVELLA_FOLDER%" : "$ORVELLA_FOLDER";
    const std::string tool = kWindows ? "tool.exe" : "tool";
    const char* this_os = kWindows ? "windows" : "linux";
    const char* other_os = kWindows ? "linux" : "windows";
    const char* this_bits = Base::IsSystem64Bit() ? "64" : "32";
    struct Case {
        const char* rule;
        std::string xml;
        bool holds;
    } cases[] = {
        {"a key exists", R"(<registry key="HKLM\Software\OrvellaConditionTest"/>)", true},
        {"a missing key", R"(<registry key="HKCU\Software\OrvellaNoSuchKey"/>)", false},
        {"the key's default value",
         R"(<registry key="HKCU\Software\OrvellaConditionTest" value="" equals="default"/>)", true},
        {"a value of any type exists",
         R"(<registry key="HKCU\Software\OrvellaConditionTest" value="Bytes"/>)", true},
        {"a missing value", R"(<registry key="HKCU\Software\OrvellaConditionTest" value="Nope"/>)",
         false},
        {"a DWORD equals in decimal",
         R"(<registry key="HKCU\Software\OrvellaConditionTest" value="Count" equals="7"/>)", true},
        {"equals is exact",
         R"(<registry key="HKCU\Software\OrvellaConditionTest" value="Version" equals="9.9"/>)",
         false},
        {"the hives are apart",
         R"(<registry key="HKLM\Software\OrvellaConditionTest" value="Version" equals="10.2"/>)",
         true},
        {"a version at least, by numbers",
         R"(<registry key="HKLM\Software\OrvellaConditionTest" value="Version" at-least="9.10"/>)",
         true},
        {"a version below",
         R"(<registry key="HKCU\Software\OrvellaConditionTest" value="Version" at-least="10"/>)",
         false},
        {"a DWORD is a version of one number",
         R"(<registry key="HKCU\Software\OrvellaConditionTest" value="Count" at-least="7"/>)",
         true},
        {"a value that is no version is never at least",
         R"(<registry key="HKCU\Software\OrvellaConditionTest" value="" at-least="0"/>)", false},
        {"binary data equals nothing",
         R"(<registry key="HKCU\Software\OrvellaConditionTest" value="Bytes" equals=""/>)", false},
        {"a file of the medium", R"(<file path="setup.txt"/>)", true},
        {"a folder is no file", R"(<file path="rsc"/>)", false},
        {"a folder of the medium", R"(<folder path="rsc"/>)", true},
        {"a file is no folder", R"(<folder path="setup.txt"/>)", false},
        {"a path through a variable", "<file path='" + variable_folder + "/" + tool + "'/>", true},
        {"an unset variable in a path", R"(<folder path="$ORVELLA_UNSET%ORVELLA_UNSET%"/>)", false},
        {"this system", std::string("<system os='") + this_os + "' bits='" + this_bits + "'/>",
         true},
        {"another system", std::string("<system os='") + other_os + "'/>", false},
        {"the other width",
         std::string("<system bits='") + (Base::IsSystem64Bit() ? "32" : "64") + "'/>", false},
        {"a version this system has", R"(<system version-at-least="3"/>)", true},
        {"a version no system has", R"(<system version-at-least="999"/>)", false},
        {"a variable set", R"(<environment name="ORVELLA_CONDITION"/>)", true},
        {"a variable set to this", R"(<environment name="ORVELLA_CONDITION" equals="on"/>)", true},
        {"a variable set to another", R"(<environment name="ORVELLA_CONDITION" equals="On"/>)",
         false},
        {"a variable not set", R"(<environment name="ORVELLA_UNSET"/>)", false},
        {"a program on the search path", R"(<program name="tool"/>)", true},
        {"a program that is not", R"(<program name="orvella-absent"/>)", false},
        {"free space there is", R"(<free-space path="." at-least="1 KB"/>)", true},
        {"free space there is not", R"(<free-space path="." at-least="16000000 TB"/>)", false},
        {"free space of nothing", R"(<free-space path="missing/deeper" at-least="0"/>)", false},
        {"all: each must hold", R"(<all><folder path="rsc"/><file path="missing"/></all>)", false},
        {"any: one is enough", R"(<any><file path="missing"/><folder path="rsc"/></any>)", true},
        {"not", R"(<not><file path="missing"/></not>)", true},
        {"several under shown-when all hold", R"(<folder path="rsc"/><file path="setup.txt"/>)",
         true},
        {"a broken condition is false, under not too", R"(<not><sky/></not>)", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        EXPECT_EQ(ConditionHolds(Declared(c.xml)), c.holds);
    }
}

TEST_F(ExtensionCondition, DeclaredPathsAreTheMediums) {
    ScopedVariable variable("ORVELLA_NAME", "setup.txt");
    std::optional<BaseString> path =
        ResolveDeclaredPath(BaseString(kWindows ? u"%ORVELLA_NAME%" : u"${ORVELLA_NAME}"));
    ASSERT_TRUE(path);
    EXPECT_EQ(std::filesystem::path(path->ToUtf8()), std::filesystem::current_path() / "setup.txt");
    EXPECT_EQ(ResolveDeclaredPath(BaseString(u"$ORVELLA_UNSET%ORVELLA_UNSET%")), std::nullopt);
}

// 64-bit Windows has a registry for 64-bit programs and one for 32-bit
// programs, which keeps HKLM\SOFTWARE apart: a test reads the one it names,
// by default either. Linux and 32-bit Windows have one, which every view reads.
TEST_F(ExtensionCondition, RegistryViews) {
    const bool two_registries = kWindows && Base::IsSystem64Bit();
    constexpr char16_t kViewKey[] = u"SOFTWARE\\OrvellaViewTest";
    for (Registry::View written : {Registry::View::k32, Registry::View::k64}) {
        const bool in_32 = written == Registry::View::k32 || !two_registries;
        const bool in_64 = written == Registry::View::k64 || !two_registries;
        SCOPED_TRACE(written == Registry::View::k32 ? "written for 32-bit programs"
                                                    : "written for 64-bit programs");
        Registry::Key key = nullptr;
        ASSERT_EQ(Registry::CreateKey(Registry::MachineRoot(), kViewKey, &key, written), 0u);
        SetString(key, u"Edition", u"Pro");
        Registry::CloseKey(key);
        struct Case {
            std::string attributes;
            bool holds;
        } cases[] = {
            {"view='32'", in_32},
            {"view='64'", in_64},
            {"view='any'", true},
            {"", true},
            {"value='Edition' equals='Pro' view='32'", in_32},
            {"value='Edition' equals='Pro' view='64'", in_64},
            {"value='Edition' equals='Pro'", true},
            {"value='Edition' equals='Home'", false},
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(c.attributes);
            EXPECT_EQ(ConditionHolds(Declared("<registry key='HKLM\\SOFTWARE\\OrvellaViewTest' " +
                                              c.attributes + "/>")),
                      c.holds);
        }
        EXPECT_EQ(Registry::DeleteKey(Registry::MachineRoot(), kViewKey, written), 0u);
    }
}

// The 64-bit system folder has one name for every launcher on Windows:
// Sysnative, which the system gives the 32-bit launcher, is System32 for the
// 64-bit one.
TEST_F(ExtensionCondition, SysnativeIsTheSystemFolderOfEveryLauncher) {
    if (!kWindows) {
        GTEST_SKIP() << "Windows' folders";
    }
    EXPECT_TRUE(ConditionHolds(Declared(R"(<folder path="%SystemRoot%\Sysnative"/>)")));
    EXPECT_TRUE(ConditionHolds(Declared(R"(<folder path="%windir%\SYSNATIVE\drivers"/>)")));
    EXPECT_FALSE(ConditionHolds(Declared(R"(<folder path="%SystemRoot%\Sysnativex"/>)")));
    EXPECT_TRUE(ConditionHolds(Declared(R"(<folder path="%ProgramW6432%"/>)")));
}

TEST(RedirectedFolderNote, NamesTheFoldersWow64Redirects) {
    struct Case {
        std::u16string_view path;
        const char* names;  // what the note proposes; nullptr: no note
    } cases[] = {
        {u"%ProgramFiles%\\Orvella\\orvella.exe", "%ProgramW6432%"},
        {u"%programfiles%\\Orvella", "%ProgramW6432%"},
        {u"%CommonProgramFiles%\\Orvella", "%CommonProgramW6432%"},
        {u"%SystemRoot%\\System32\\drivers\\orvella.sys", "Sysnative"},
        {u"C:\\Windows\\system32", "Sysnative"},
        {u"%ProgramW6432%\\Orvella\\orvella.exe", nullptr},
        {u"%ProgramFiles(x86)%\\Orvella", nullptr},
        {u"%SystemRoot%\\Sysnative\\drivers", nullptr},
        {u"tools\\System32x\\a", nullptr},
        {u"/usr/bin/orvella", nullptr},
    };
    for (const Case& c : cases) {
        std::optional<BaseString> note = RedirectedFolderNote(c.path);
        SCOPED_TRACE(BaseString(c.path).ToUtf8());
        ASSERT_EQ(note.has_value(), c.names != nullptr);
        if (note) {
            EXPECT_NE(note->ToUtf8().find(c.names), std::string::npos) << note->ToUtf8();
        }
    }
}

}  // namespace
