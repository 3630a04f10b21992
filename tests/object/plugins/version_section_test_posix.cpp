#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "object/elf_section.h"
#include "object/version_section.h"
#include "test_support.h"

namespace {

using namespace std::literals;

bool SameIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
    auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c; };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [&](char16_t x, char16_t y) { return lower(x) == lower(y); });
}

constexpr std::string_view kGood =
    "\\VarFileInfo\\Translation\0"
    "040904b0\0"
    "\\StringFileInfo\\040904b0\\InfraClassFactory\0"
    "1\0"
    "\\StringFileInfo\\040904b0\\OriginalFilename\0"
    "good.so\0"sv;

TEST(VersionSection, FormAndPluginRule) {
    struct Case {
        std::string_view name;
        std::string bytes;
        bool parses;
        bool plugin;
    } cases[] = {
        {"well formed", std::string(kGood), true, true},
        {"padded with NULs", std::string(kGood) + std::string(5, '\0'), true, true},
        {"empty", ""s, true, false},
        {"class factory 0",
         "\\VarFileInfo\\Translation\0"
         "040904b0\0"
         "\\StringFileInfo\\040904b0\\InfraClassFactory\0"
         "0\0"s,
         true, false},
        {"class factory under a pair not listed",
         "\\VarFileInfo\\Translation\0"
         "040704e4\0"
         "\\StringFileInfo\\040904b0\\InfraClassFactory\0"
         "1\0"s,
         true, false},
        // The original name is taken from the first pair that has one.
        {"original name of the first pair",
         "\\VarFileInfo\\Translation\0"
         "040704e4 040904b0\0"
         "\\StringFileInfo\\040704e4\\OriginalFilename\0"
         "GOOD.so\0"
         "\\StringFileInfo\\040904b0\\InfraClassFactory\0"
         "1\0"
         "\\StringFileInfo\\040904b0\\OriginalFilename\0"
         "other.so\0"s,
         true, true},
        {"another original name",
         "\\VarFileInfo\\Translation\0"
         "040904b0\0"
         "\\StringFileInfo\\040904b0\\InfraClassFactory\0"
         "1\0"
         "\\StringFileInfo\\040904b0\\OriginalFilename\0"
         "other.so\0"s,
         true, false},
        {"empty original name",
         "\\VarFileInfo\\Translation\0"
         "040904b0\0"
         "\\StringFileInfo\\040904b0\\InfraClassFactory\0"
         "1\0"
         "\\StringFileInfo\\040904b0\\OriginalFilename\0"
         "\0"s,
         true, true},
        {"unterminated", std::string(kGood.substr(0, kGood.size() - 1)), false, false},
        {"name without value", "\\VarFileInfo\\Translation\0"s, false, false},
        {"name given twice",
         std::string(kGood) + "\\VarFileInfo\\Translation\0"
                              "040904b0\0"s,
         false, false},
        {"translation not in pairs of eight digits",
         "\\VarFileInfo\\Translation\0"
         "0409 04b0\0"s,
         false, false},
        {"translation list ending in a space",
         "\\VarFileInfo\\Translation\0"
         "040904b0 \0"s,
         false, false},
        {"text after padding", std::string(kGood) + std::string("\0x\0", 3), false, false},
    };
    for (const Case& test : cases) {
        std::optional<Object::SectionVersionStrings> strings =
            Object::SectionVersionStrings::Parse(test.bytes);
        EXPECT_EQ(strings.has_value(), test.parses) << test.name;
        if (strings) {
            EXPECT_EQ(Object::IsPluginLibrary(*strings, u"good.so", SameIgnoringAsciiCase),
                      test.plugin)
                << test.name;
        }
    }
}

// The fuzz target's seeds: the well-formed section in ELF files of both classes
// and byte orders, made with objcopy, and one with extended numbering.
std::string Seed(const char* name) {
    std::ifstream in(std::filesystem::path(ORV_VERSION_SEEDS) / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::optional<std::string> SectionOf(const std::string& file, size_t max_size = 4096,
                                     std::string_view name = Object::kVersionSectionName) {
    Object::ReadAt read = [&](uint64_t offset, void* buffer, size_t length) {
        if (offset > file.size() || length > file.size() - offset) {
            ADD_FAILURE() << "read outside the file";
            return false;
        }
        file.copy(static_cast<char*>(buffer), length, offset);
        return true;
    };
    return Object::ReadElfSection(read, file.size(), name, max_size);
}

TEST(ElfSection, FindsTheSectionInEveryClassAndByteOrder) {
    for (const char* seed :
         {"elf64_little_endian", "elf32_big_endian", "elf64_extended_numbering"}) {
        std::string file = Seed(seed);
        ASSERT_FALSE(file.empty()) << seed;
        EXPECT_EQ(SectionOf(file), std::string(kGood)) << seed;
    }
}

TEST(ElfSection, AnswersNothingForFilesThatDoNotHoldTogether) {
    std::string file = Seed("elf64_little_endian");
    EXPECT_EQ(SectionOf(file, kGood.size() - 1), std::nullopt) << "section above the limit";
    EXPECT_EQ(SectionOf(file, 4096, ".other"), std::nullopt);
    EXPECT_EQ(SectionOf(std::string(kGood)), std::nullopt) << "not ELF";
    for (size_t size : {0, 10, 64, 200}) {
        EXPECT_EQ(SectionOf(file.substr(0, size)), std::nullopt) << size;
    }
    std::string far_table = file;
    far_table[40 + 7] = '\x7f';  // the section table's offset, beyond any file
    EXPECT_EQ(SectionOf(far_table), std::nullopt);
}

}  // namespace
