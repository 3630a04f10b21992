#include "launcher/commands/start_program.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "base/platform.h"
#include "temp_folder.h"

namespace {

constexpr bool kWindows = Base::kPathSeparator == u'\\';

// What the command shell reads as syntax in a batch file's command line: a
// command separator, variables, a quote escaped the C runtime's way, its own
// escape, pipes and redirections, delayed expansion.
constexpr std::u16string_view kHostileArguments[] = {
    u"R&D", u"%PATH%", u"%ORVELLA_UNSET%", u"\\\"", u"a\\\" & echo b", u"^", u"x|y",
    u"<>",  u"!PATH!", u"\"&calc",         u"100%"};
// The same as a program gets them, a line each.
constexpr char kHostileLines[] =
    "R&D\n%PATH%\n%ORVELLA_UNSET%\n\\\"\na\\\" & echo b\n^\nx|y\n<>\n!PATH!\n\"&calc\n100%\n";

TEST(JoinCommandLine, QuotesByTheRulesOfTheSplit) {
    struct Case {
        const char* rule;
        std::vector<std::u16string_view> arguments;
        std::u16string_view line;
    } cases[] = {
        {"plain arguments stay as they are", {u"/quiet", u"C:\\a\\b"}, u"/quiet C:\\a\\b"},
        {"an empty argument is a pair of quotes", {u"", u"x"}, u"\"\" x"},
        {"a blank makes quotes", {u"two words", u"tab\there"}, u"\"two words\" \"tab\there\""},
        {"a quote is escaped", {u"say \"hi\""}, u"\"say \\\"hi\\\"\""},
        {"backslashes before a quote are doubled", {u"a\\\"b"}, u"\"a\\\\\\\"b\""},
        {"backslashes before the closing quote are doubled",
         {u"C:\\My Folder\\"},
         u"\"C:\\My Folder\\\\\""},
        {"backslashes elsewhere stay", {u"a b\\c\\\\d"}, u"\"a b\\c\\\\d\""},
        {"no arguments, no line", {}, u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        std::vector<BaseString> arguments(c.arguments.begin(), c.arguments.end());
        EXPECT_EQ(JoinCommandLine(arguments), BaseString(c.line));
    }
}

std::filesystem::path Writer() {
    return std::filesystem::path(Base::ExecutablePath().ToUtf8()).parent_path() /
           (kWindows ? "argument_writer.exe" : "argument_writer");
}

// What the writer wrote once it has; "" when it never did.
std::string WaitForFile(const std::filesystem::path& file) {
    for (int i = 0; i < 600 && !std::filesystem::exists(file); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::ifstream stream(file, std::ios::binary);
    std::stringstream text;
    text << stream.rdbuf();
    return text.str();
}

// The program gets each argument whole: blanks, quotes, backslashes, shell
// syntax and characters beyond ASCII.
TEST(StartProgram, PassesEachArgumentAsItIs) {
    TempFolder temp;
    std::filesystem::path out = temp.Native(u"arguments.txt");
    std::vector<BaseString> arguments = {BaseString::FromUtf8(out.string()),
                                         BaseString(u"/quiet"),
                                         BaseString(u"two words"),
                                         BaseString(u""),
                                         BaseString(u"say \"hi\""),
                                         BaseString(u"C:\\My Folder\\"),
                                         BaseString(u"$HOME; rm -rf x & %PATH% | `id`"),
                                         BaseString(u"Déjà vu")};
    for (std::u16string_view hostile : kHostileArguments) {
        arguments.emplace_back(hostile);
    }
    ASSERT_EQ(StartProgram(BaseString::FromUtf8(Writer().string()), arguments, false, nullptr), 0u);
    EXPECT_EQ(
        WaitForFile(out),
        std::string("/quiet\ntwo words\n\nsay \"hi\"\nC:\\My Folder\\\n$HOME; rm -rf x & %PATH% | "
                    "`id`\nD\xC3\xA9j\xC3\xA0 vu\n") +
            kHostileLines);
}

TEST(IsBatchFile, ByTheExtensionWindowsReads) {
    struct Case {
        std::u16string_view program;
        bool batch;
    } cases[] = {
        {u"setup.bat", true},   {u"C:\\R&D\\SETUP.CMD", true},
        {u"setup.Bat", true},   {u"setup.bat. . ", true},
        {u"setup.exe", false},  {u"setup.bat.exe", false},
        {u"bat", false},        {u".cmd", true},
        {u"setup.cmdx", false}, {u"tools/setup.sh", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsBatchFile(c.program), c.batch)
            << std::string(c.program.begin(), c.program.end());
    }
}

// The command shell would read these arguments of a batch file by its own
// rules: it is refused, whatever the arguments, and never runs. A name without
// the file's extension is not completed by the shell either.
TEST(StartProgram, RefusesBatchFilesOnWindows) {
    if (!kWindows) {
        GTEST_SKIP() << "batch files are Windows' own";
    }
    TempFolder temp;
    std::filesystem::path ran = temp.Native(u"ran.txt");
    for (const char16_t* name : {u"setup.bat", u"SETUP.CMD"}) {
        temp.WriteFile(name, "@echo ran>\"" + ran.string() + "\"\r\n");
    }
    struct Case {
        std::u16string_view program;
        uint32_t result;
    } cases[] = {
        {u"setup.bat", kStartBatchFile},
        {u"SETUP.CMD", kStartBatchFile},
        {u"setup.bat. ", kStartBatchFile},
        {u"setup", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.program.begin(), c.program.end()));
        BaseString program = BaseString::FromUtf8(temp.Native(u"").string()) + c.program;
        for (std::u16string_view hostile : kHostileArguments) {
            EXPECT_EQ(StartProgram(program, {BaseString(hostile)}, false, nullptr), c.result);
        }
        EXPECT_EQ(StartProgram(program, {}, false, nullptr), c.result);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_FALSE(std::filesystem::exists(ran));
}

// Started elevated, the program begins in its own folder (the system's would
// be Windows' choice); otherwise in the launcher's current folder, the medium.
TEST(StartProgram, AnElevatedProgramStartsInItsOwnFolder) {
    if (!kWindows) {
        GTEST_SKIP() << "elevation is Windows' own";
    }
    TempFolder temp;
    std::filesystem::create_directories(temp.Native(u"program"));
    std::filesystem::path copy = temp.Native(u"program") / Writer().filename();
    std::filesystem::copy_file(Writer(), copy);
    for (bool elevated : {false, true}) {
        SCOPED_TRACE(elevated ? "elevated" : "as the user");
        std::filesystem::path out = temp.Native(elevated ? u"elevated.txt" : u"plain.txt");
        ASSERT_EQ(StartProgram(BaseString::FromUtf8(copy.string()),
                               {BaseString(u"--folder"), BaseString::FromUtf8(out.string())},
                               elevated, nullptr),
                  0u);
        std::filesystem::path expected =
            elevated ? temp.Native(u"program") : std::filesystem::current_path();
        std::string written = WaitForFile(out);
        std::filesystem::path folder(written.substr(0, written.find('\n')));
        EXPECT_TRUE(std::filesystem::equivalent(folder, expected)) << written;
    }
}

TEST(StartProgram, AMissingProgramIsAnError) {
    TempFolder temp;
    uint32_t error = StartProgram(BaseString::FromUtf8(temp.Native(u"missing.exe").string()), {},
                                  false, nullptr);
    EXPECT_EQ(error, 2u);
}

}  // namespace
