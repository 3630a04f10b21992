#include "io/local_folder_win.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "io/file_system.h"
#include "scoped_variable.h"
#include "temp_folder.h"

namespace {

// A folder of PATH on the network, or on a drive that is not there, is passed
// over without a look: a server that is gone would hold the page for seconds.
TEST(FileSystem, FindsProgramsInLocalFoldersOnly) {
    struct Case {
        std::u16string_view folder;
        bool local;
    } cases[] = {
        {u"C:\\windows", true},
        {u"c:\\", true},
        {u"\\\\?\\C:\\windows", true},
        {u"\\\\orvella-no-server\\share\\bin", false},
        {u"//orvella-no-server/share/bin", false},
        {u"\\\\?\\UNC\\orvella-no-server\\share", false},
        {u"Q:\\tools", false},
        {u"tools", false},
        {u"\\tools", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Io::FileSystem::IsLocalFolder(c.folder), c.local)
            << BaseString(c.folder).ToUtf8();
    }
    TempFolder temp;
    std::filesystem::create_directories(temp.Native(u"bin"));
    temp.WriteFile(u"bin/tool.exe", "program");
    ScopedVariable path(
        "PATH", "\\\\orvella-no-server\\share;Q:\\tools;bin;" + temp.Native(u"bin").string());
    EXPECT_EQ(Io::FileSystem::FindProgram(BaseString(u"tool.exe")),
              BaseString::FromUtf8((temp.Native(u"bin") / "tool.exe").string()));
}

}  // namespace
