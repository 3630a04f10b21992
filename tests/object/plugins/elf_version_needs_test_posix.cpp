#include <gnu/libc-version.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "object/dll.h"
#include "object/elf_version_needs.h"
#include "plugin_files.h"
#include "temp_folder.h"

namespace {

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::optional<std::vector<Object::VersionNeed>> NeedsOf(const std::string& bytes) {
    Object::ReadAt read = [&](uint64_t offset, void* buffer, size_t length) {
        if (offset > bytes.size() || length > bytes.size() - offset) {
            return false;
        }
        std::copy_n(bytes.data() + offset, length, static_cast<char*>(buffer));
        return true;
    };
    return Object::ReadElfVersionNeeds(read, bytes.size());
}

TEST(ElfVersionNeeds, ReadsEveryLibrarysVersionsAndRefusesBrokenFiles) {
    const std::filesystem::path seeds = ORV_VERSION_NEEDS_SEEDS;
    std::string two_libraries = ReadAll(seeds / "elf64_two_libraries");
    std::optional<std::vector<Object::VersionNeed>> needs = NeedsOf(two_libraries);
    ASSERT_TRUE(needs);
    EXPECT_EQ(*needs, (std::vector<Object::VersionNeed>{{"libm.so.6", "GLIBC_2.2.5"},
                                                        {"libc.so.6", "GLIBC_2.2.5"}}));
    EXPECT_EQ(Object::NewestCLibraryVersion(*needs), "2.2.5");

    EXPECT_FALSE(NeedsOf("not an ELF file at all"));
    EXPECT_FALSE(NeedsOf(two_libraries.substr(0, two_libraries.size() / 2)));
    // The real plug-ins of this build name the C library they were built for.
    std::optional<std::vector<Object::VersionNeed>> plugin = NeedsOf(ReadAll(Built(u"good")));
    ASSERT_TRUE(plugin);
    EXPECT_LE(Object::CompareDottedVersions(Object::NewestCLibraryVersion(*plugin),
                                            gnu_get_libc_version()),
              0);
}

TEST(ElfVersionNeeds, OrdersDottedVersionsAndFindsTheNewestCLibrary) {
    struct Case {
        const char* a;
        const char* b;
        int order;
    } cases[] = {
        {"2.9", "2.28", -1},  {"2.28", "2.28.1", -1}, {"2.31", "2.31", 0},
        {"2.34", "2.3.4", 1}, {"10", "9.99", 1},      {"", "0", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Object::CompareDottedVersions(c.a, c.b), c.order) << c.a << " " << c.b;
        EXPECT_EQ(Object::CompareDottedVersions(c.b, c.a), -c.order) << c.b << " " << c.a;
    }
    EXPECT_EQ(Object::NewestCLibraryVersion({{"libc.so.6", "GLIBC_2.2.5"},
                                             {"libc.so.6", "GLIBC_2.30"},
                                             {"libc.so.6", "GLIBC_PRIVATE"},
                                             {"libstdc++.so.6", "GLIBCXX_3.4.30"},
                                             {"libm.so.6", "GLIBC_2.29"}}),
              "2.30");
    EXPECT_EQ(Object::NewestCLibraryVersion({{"libgcc_s.so.1", "GCC_3.0"}}), "");
}

// A plug-in built for a newer C library than this system's (here: a real one
// whose need is made 9.9.9) is not loaded, and standard error says which file
// needs what.
TEST(ElfVersionNeeds, APluginForANewerCLibraryIsReportedNotSkipped) {
    std::string bytes = ReadAll(Built(u"good"));
    const std::string old_need("GLIBC_2.2.5\0", 12);
    size_t at = bytes.find(old_need);
    ASSERT_NE(at, std::string::npos);
    bytes.replace(at, old_need.size(), std::string("GLIBC_9.9.9\0", 12));
    TempFolder folder;
    folder.WriteFile(Plugin(u"good"), bytes);
    const std::filesystem::path file = folder.Native(Plugin(u"good"));

    testing::internal::CaptureStderr();
    Object::DllLoad load = Object::LoadDll(BaseString(file.u16string()));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(load.dll);
    EXPECT_NE(said.find(file.string() +
                        ": not loaded: it needs the C library (glibc) 9.9.9 or "
                        "newer, this system has " +
                        gnu_get_libc_version()),
              std::string::npos)
        << said;
}

}  // namespace
