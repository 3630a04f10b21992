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
    ASSERT_EQ(StartProgram(BaseString::FromUtf8(Writer().string()), arguments, false, nullptr), 0u);
    EXPECT_EQ(WaitForFile(out),
              "/quiet\ntwo words\n\nsay \"hi\"\nC:\\My Folder\\\n$HOME; rm -rf x & %PATH% | "
              "`id`\nD\xC3\xA9j\xC3\xA0 vu\n");
}

TEST(StartProgram, AMissingProgramIsAnError) {
    TempFolder temp;
    uint32_t error = StartProgram(BaseString::FromUtf8(temp.Native(u"missing.exe").string()), {},
                                  false, nullptr);
    EXPECT_EQ(error, 2u);
}

}  // namespace
