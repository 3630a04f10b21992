#include <gtest/gtest.h>

#include "base/platform.h"
#include "launcher/commands/run_target.h"
#include "test_support.h"

namespace {

#ifdef _WIN32
constexpr char16_t kLauncher[] = u"D:\\Medium\\autorun.exe";
constexpr char16_t kFolder[] = u"D:\\Medium\\";
#else
constexpr char16_t kLauncher[] = u"/media/disc/autorun";
constexpr char16_t kFolder[] = u"/media/disc/";
#endif

// Any folder part of a relative target is dropped: the file is always looked
// for in the launcher's own folder.
TEST(ResolveRunTarget, RelativeTargetsNameAFileInTheLauncherFolder) {
    const char16_t* cases[][2] = {
        {u"setup.exe", u"setup.exe"},
        {u"Tools\\setup.exe", u"setup.exe"},
        {u"Tools/setup.exe", u"setup.exe"},
        {u"a/b\\c/setup.exe", u"setup.exe"},
        {u"..\\../setup.exe", u"setup.exe"},
        {u"\\setup.exe", u"setup.exe"},
        {u"", u""},
        {u"Tools/", u""},
        {u"My Setup.exe", u"My Setup.exe"},
    };
    for (const auto& [argument, file] : cases) {
        EXPECT_EQ(ResolveRunTargetFor(argument, BaseString(kLauncher)), BaseString(kFolder) + file)
            << Utf8(argument);
    }
}

TEST(ResolveRunTarget, FullPathsAreUsedUnchanged) {
#ifdef _WIN32
    const char16_t* full[] = {u"C:\\Tools\\setup.exe", u"C:setup.exe",
                              u"\\\\server\\share\\setup.exe"};
#else
    const char16_t* full[] = {u"/opt/tools/setup.sh", u"//server/setup.sh"};
#endif
    for (const char16_t* argument : full) {
        EXPECT_TRUE(Base::IsFullPath(argument)) << Utf8(argument);
        EXPECT_EQ(ResolveRunTargetFor(argument, BaseString(kLauncher)), argument);
    }
    EXPECT_EQ(ResolveRunTargetFor(u"Tools/setup.exe", BaseString()), u"Tools/setup.exe");
}

TEST(ResolveRunTarget, UsesTheRunningExecutablesFolder) {
    BaseString folder(Base::FolderOf(Base::ExecutablePath()));
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(ResolveRunTarget(u"Tools/setup.exe"), folder + u"setup.exe");
}

}  // namespace
