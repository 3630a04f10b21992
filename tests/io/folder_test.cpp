#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "error/error.h"
#include "object/impl.h"
#include "temp_folder.h"
#include "test_support.h"

namespace {

std::vector<std::string> Sorted(const std::vector<BaseString>& names) {
    std::vector<std::string> sorted;
    for (const BaseString& name : names) {
        sorted.push_back(name.ToUtf8());
    }
    std::sort(sorted.begin(), sorted.end());
    return sorted;
}

class NoTxtFilter final : public Object::Impl<NoTxtFilter, Io::Folder::Filter> {
public:
    bool accept(const BaseString& name) override { return !name.view().ends_with(u".txt"); }
};

TEST(Folder, OpeningRules) {
    ScopedLanguage english(0x0409);
    TempFolder temp;
    temp.WriteFile(u"file", "x");
    struct Case {
        const char16_t* name;
        bool open_existing, create;
        uint32_t error;  // 0 when a folder comes back
        const char16_t* message;
    };
    const Case cases[] = {
        {u"file", true, true, 5, u"Cannot access folder '%1'."},
        {u".", true, false, 0, nullptr},
        {u".", false, true, 183, u"Cannot create folder '%1'."},
        {u"missing", true, false, 2, u"Cannot access folder '%1'."},
        {u"missing", false, true, 0, nullptr},
    };
    for (const Case& c : cases) {
        Ref<Io::Path> path = temp.Child(c.name);
        std::string what = Utf8(BaseString(c.name));
        Error error = ErrorOf([&] { EXPECT_TRUE(path->folder(c.open_existing, c.create, false)); });
        if (c.error == 0) {
            EXPECT_FALSE(error.IsSet()) << what << ": " << Utf8(error.GetText());
            EXPECT_EQ(path->type(), Io::kTypeFolder) << what;
        } else {
            EXPECT_EQ(error.CodeAt(1), c.error) << what;
            EXPECT_EQ(error.Has(ErrNotFound), c.error == 2) << what;
            EXPECT_EQ(error.MessageAt(0), FillMessage(c.message, {path->text().view()})) << what;
        }
    }
}

TEST(Folder, CreatesMissingParentsOnlyWhenAsked) {
    ScopedLanguage english(0x0409);
    TempFolder temp;
    Ref<Io::Path> deep = temp.Child(u"a/b/c");
    Error error = ErrorOf([&] { deep->folder(false, true, false); });
    EXPECT_EQ(error.MessageAt(0), u"Cannot create folder '" + deep->text() + u"'.");
    EXPECT_FALSE(temp.Exists(u"a"));

    EXPECT_TRUE(deep->folder(false, true, true));
    EXPECT_EQ(deep->type(), Io::kTypeFolder);

    // A file on the way fails the creation.
    temp.WriteFile(u"a/file", "x");
    Error through_file = ErrorOf([&] { temp.Child(u"a/file/x/y")->folder(false, true, true); });
    EXPECT_TRUE(through_file.IsSet());
    EXPECT_EQ(temp.ReadFile(u"a/file"), "x");
}

TEST(Folder, PartlyCreatedChainIsRolledBack) {
    ScopedLanguage english(0x0409);
    TempFolder temp;
    // Long enough that the platform refuses some folder on the way down, after
    // having created the first ones: past the 4096 bytes of a POSIX path and
    // the 32767 characters of an extended Windows path.
    std::u16string name;
    for (int i = 0; i < 330; ++i) {
        name += std::u16string(100, static_cast<char16_t>(u'a' + i % 26)) + u"/";
    }
    Ref<Io::Path> deep = temp.Child(name);
    Error error = ErrorOf([&] { deep->folder(false, true, true); });
    EXPECT_EQ(error.MessageAt(0), u"Cannot create folder '" + deep->text() + u"'.");
    EXPECT_NE(error.CodeAt(1), 0u);
    EXPECT_TRUE(temp.path()->folder(true, false, false)->list(u"", nullptr).empty());
}

TEST(Folder, ListsByPatternAndFilter) {
    TempFolder temp;
    for (const char16_t* name : {u"a.txt", u"b.TXT", u"c.log", u"README", u"abc.txt"}) {
        temp.WriteFile(name, "x");
    }
    std::filesystem::create_directory(temp.Native(u"sub"));
    Ref<Io::Folder> folder = temp.path()->folder(true, false, false);
    struct Case {
        const char16_t* pattern;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {u"", {"README", "a.txt", "abc.txt", "b.TXT", "c.log", "sub"}},
        {u"*.*", {"README", "a.txt", "abc.txt", "b.TXT", "c.log", "sub"}},
        {u"*", {"README", "a.txt", "abc.txt", "b.TXT", "c.log", "sub"}},
        {u"*.txt", {"a.txt", "abc.txt", "b.TXT"}},
        {u"a*", {"a.txt", "abc.txt"}},
        {u"?.txt", {"a.txt", "b.TXT"}},
        {u"a?c.*", {"abc.txt"}},
        {u"readme", {"README"}},
        {u"none*", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Sorted(folder->list(c.pattern, nullptr)), c.names) << Utf8(BaseString(c.pattern));
    }
    EXPECT_EQ(Sorted(folder->list(u"", Object::New<NoTxtFilter>())),
              (std::vector<std::string>{"README", "b.TXT", "c.log", "sub"}));

    std::filesystem::remove_all(temp.Native(u"sub"));
    Ref<Io::Folder> gone = temp.Child(u"sub")->folder(false, true, false);
    std::filesystem::remove(temp.Native(u"sub"));
    EXPECT_TRUE(gone->list(u"", nullptr).empty());
}

TEST(Remove, FilesAndFolders) {
    ScopedLanguage english(0x0409);
    TempFolder temp;
    temp.WriteFile(u"f", "x");
    std::filesystem::create_directories(temp.Native(u"tree/a/b"));
    temp.WriteFile(u"tree/a/b/deep.txt", "x");
    temp.WriteFile(u"tree/top.txt", "x");

    temp.Child(u"missing")->remove(false);
    temp.Child(u"missing/deeper")->remove(true);
    temp.Child(u"f")->remove(false);
    EXPECT_FALSE(temp.Exists(u"f"));

    Ref<Io::Path> tree = temp.Child(u"tree");
    Error error = ErrorOf([&] { tree->remove(false); });
    EXPECT_EQ(error.MessageAt(0), u"Failed to remove folder '" + tree->text() + u"'.");
    EXPECT_TRUE(temp.Exists(u"tree/top.txt"));

    tree->remove(true);
    EXPECT_FALSE(temp.Exists(u"tree"));
}

#ifndef _WIN32
// A link is removed as itself; what it leads to stays.
TEST(Remove, RecursiveRemovalDoesNotFollowLinks) {
    TempFolder temp;
    std::filesystem::create_directories(temp.Native(u"kept"));
    temp.WriteFile(u"kept/precious", "x");
    std::filesystem::create_directories(temp.Native(u"tree"));
    std::filesystem::create_directory_symlink(temp.Native(u"kept"), temp.Native(u"tree/link"));
    std::filesystem::create_symlink(temp.Native(u"nowhere"), temp.Native(u"tree/dangling"));

    EXPECT_EQ(temp.Child(u"tree/link")->type(), Io::kTypeFolder);
    temp.Child(u"tree")->remove(true);
    EXPECT_FALSE(temp.Exists(u"tree"));
    EXPECT_EQ(temp.ReadFile(u"kept/precious"), "x");
}

// A path that cannot be looked at is not taken for a missing one.
TEST(Remove, FailedLookupIsAnError) {
    ScopedLanguage english(0x0409);
    TempFolder temp;
    std::u16string name;
    for (int i = 0; i < 20; ++i) {
        name += std::u16string(250, u'x') + u"/";
    }
    Ref<Io::Path> too_long = temp.Child(name);
    Error error = ErrorOf([&] { too_long->remove(true); });
    EXPECT_EQ(error.MessageAt(0), u"Failed to delete file '" + too_long->text() + u"'.");
    EXPECT_FALSE(error.Has(ErrNotFound));
}

// Listed names are used as they are: a "\" in a POSIX name is no separator.
TEST(Remove, NamesWithBackslashesStayInsideTheFolder) {
    TempFolder temp;
    temp.WriteFile(u"victim", "x");
    std::filesystem::create_directories(temp.Native(u"tree"));
    temp.WriteFile(u"tree/..\\victim", "x");
    temp.Child(u"tree")->remove(true);
    EXPECT_FALSE(temp.Exists(u"tree"));
    EXPECT_EQ(temp.ReadFile(u"victim"), "x");
}
#endif

}  // namespace
