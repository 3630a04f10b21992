#include <gtest/gtest.h>

#include <filesystem>

#include "base/platform.h"
#include "io/file_system.h"
#include "scoped_variable.h"
#include "temp_folder.h"

namespace {

constexpr bool kWindows = Base::kPathSeparator == u'\\';

BaseString Text(const std::filesystem::path& path) {
    return BaseString::FromUtf8(path.string());
}

TEST(FileSystem, FreeSpaceOfAFolderAndOfNothing) {
    TempFolder temp;
    uint64_t bytes = 0;
    ASSERT_TRUE(Io::FileSystem::GetAvailableSpace(temp.path()->text(), &bytes));
    EXPECT_GT(bytes, 0u);
    EXPECT_FALSE(Io::FileSystem::GetAvailableSpace(Text(temp.Native(u"missing/deeper")), &bytes));
    EXPECT_TRUE(Base::LastError() == 2 || Base::LastError() == 3) << Base::LastError();
}

// The first folder of PATH that has the program gives it; folders that are
// missing, empty entries and files that are no programs are passed over.
TEST(FileSystem, FindsProgramsOnTheSearchPath) {
    TempFolder temp;
    const char* separator = kWindows ? ";" : ":";
    std::string program = kWindows ? "tool.exe" : "tool";
    for (const char16_t* folder : {u"first", u"second", u"third"}) {
        std::filesystem::create_directories(temp.Native(folder));
    }
    temp.WriteFile(u"first/readme.txt", "text");
    temp.WriteFile(u"second/" + BaseString::FromUtf8(program).view(), "program");
    temp.WriteFile(u"third/" + BaseString::FromUtf8(program).view(), "program");
    std::filesystem::path second = temp.Native(u"second") / program;
    if (!kWindows) {
        // Not yet executable: passed over.
        temp.WriteFile(u"first/tool", "no program");
        std::filesystem::permissions(second, std::filesystem::perms::owner_exec,
                                     std::filesystem::perm_options::add);
    }
    ScopedVariable path("PATH", temp.Native(u"missing").string() + separator + separator +
                                    temp.Native(u"first").string() + separator +
                                    temp.Native(u"second").string() + separator +
                                    temp.Native(u"third").string());
    EXPECT_EQ(Io::FileSystem::FindProgram(BaseString(u"tool")), Text(second));
    EXPECT_EQ(Io::FileSystem::FindProgram(BaseString(u"readme.txt")), BaseString());
    EXPECT_EQ(Io::FileSystem::FindProgram(BaseString(u"absent")), BaseString());
    if (kWindows) {
        // An extension of PATHEXT is taken as given, in any case.
        EXPECT_EQ(Io::FileSystem::FindProgram(BaseString(u"TOOL.EXE")),
                  Text(temp.Native(u"second") / "TOOL.EXE"));
        ScopedVariable extensions("PATHEXT", ".TXT");
        EXPECT_EQ(Io::FileSystem::FindProgram(BaseString(u"readme")),
                  Text(temp.Native(u"first") / "readme.TXT"));
    }
}

}  // namespace
