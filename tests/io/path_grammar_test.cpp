#include <gtest/gtest.h>

#include <string>

#include "io/file_uri.h"
#include "io/path_grammar.h"
#include "test_support.h"

namespace {

using Io::PathStyle;

struct NormalizeCase {
    std::u16string name;
    std::u16string_view expected;  // "" when the name is not a valid path
};

void ExpectNormalized(PathStyle style, std::u16string_view current_directory,
                      const std::vector<NormalizeCase>& cases) {
    for (const NormalizeCase& c : cases) {
        EXPECT_EQ(Io::NormalizePath(c.name, current_directory, style), c.expected)
            << "name: " << Utf8(BaseString(c.name));
    }
}

const std::u16string k255(255, u'n');
const std::u16string k256(256, u'n');

TEST(PathGrammar, WindowsStyle) {
    ExpectNormalized(PathStyle::kWindows, u"C:\\cwd\\sub",
                     {
                         {u"C:/Dir//sub/./x/../file.txt", u"C:\\Dir\\sub\\file.txt"},
                         {u"c:", u"C:"},
                         {u"z:\\A/b\\\\", u"Z:\\A\\b"},
                         {u"C:foo", u"C:\\foo"},
                         {u"C:\\..", u""},
                         {u"C:\\a\\..\\..", u""},
                         {u"C:\\a\\..", u"C:"},
                         {u"C:\\a\\...\\b", u"C:\\a\\...\\b"},
                         {u"//server/share/a", u"\\\\server\\share\\a"},
                         {u"\\\\srv\\sh", u"\\\\srv\\sh"},
                         {u"\\\\srv\\sh\\..", u""},
                         // Not a UNC root: resolved against the current directory.
                         {u"//server", u"C:\\cwd\\sub\\server"},
                         {u"//srv/", u"C:\\cwd\\sub\\srv"},
                         {u"///server/share", u"C:\\cwd\\sub\\server\\share"},
                         {u"\\\\s*v\\share", u""},
                         // A leading separator is not the drive's root.
                         {u"\\dir", u"C:\\cwd\\sub\\dir"},
                         {u"rsc\\autorun.tpl", u"C:\\cwd\\sub\\rsc\\autorun.tpl"},
                         {u"rsc/autorun.tpl", u"C:\\cwd\\sub\\rsc\\autorun.tpl"},
                         {u"", u"C:\\cwd\\sub"},
                         {u".", u"C:\\cwd\\sub"},
                         {u"..", u"C:\\cwd"},
                         {u"..\\..", u"C:"},
                         {u"..\\..\\..", u""},
                         {u"1:\\x", u""},
                         {u"C:\\Grüße\\日本", u"C:\\Grüße\\日本"},
                         {u"a*b", u""},
                         {u"a?b", u""},
                         {u"C:\\a:b", u""},
                         {u"a<b", u""},
                         {u"a>b", u""},
                         {u"a|b", u""},
                         {u"a\"b", u""},
                         {u"C:\\" + k255, u"C:\\" + k255},
                         {u"C:\\" + k256, u""},
                         {u"C:\\" + k256 + u"\\..", u""},
                     });
}

TEST(PathGrammar, WindowsStyleOnAUncCurrentDirectory) {
    ExpectNormalized(PathStyle::kWindows, u"\\\\srv\\sh\\d",
                     {
                         {u"x", u"\\\\srv\\sh\\d\\x"},
                         {u"..\\x", u"\\\\srv\\sh\\x"},
                         {u"..\\..\\x", u""},
                     });
}

TEST(PathGrammar, PosixStyle) {
    ExpectNormalized(PathStyle::kPosix, u"/home/u",
                     {
                         {u"/a//b/./c/../d", u"/a/b/d"},
                         {u"/", u"/"},
                         {u"/..", u""},
                         {u"/a/..", u"/"},
                         // Names written for Windows media.
                         {u"rsc\\autorun.tpl", u"/home/u/rsc/autorun.tpl"},
                         {u"\\dir", u"/dir"},
                         {u"//server/share", u"/server/share"},
                         {u"C:foo", u"/home/u/C:foo"},
                         {u"a*b?<|>\"", u"/home/u/a*b?<|>\""},
                         {u"", u"/home/u"},
                         {u"..", u"/home"},
                         {u"../..", u"/"},
                         {u"../../..", u""},
                         {u"/" + k255, u"/" + k255},
                         {u"/" + k256, u""},
                     });
}

TEST(PathGrammar, RelativeNamesNeedARootedCurrentDirectory) {
    for (PathStyle style : {PathStyle::kWindows, PathStyle::kPosix}) {
        for (std::u16string_view directory : {u"", u"relative", u"C"}) {
            EXPECT_EQ(Io::NormalizePath(u"x", directory, style), u"")
                << Utf8(BaseString(directory));
        }
    }
    EXPECT_EQ(Io::NormalizePath(u"D:\\x", u"", PathStyle::kWindows), u"D:\\x");
    EXPECT_EQ(Io::NormalizePath(u"/x", u"", PathStyle::kPosix), u"/x");
}

TEST(PathGrammar, PartsOfNormalisedTexts) {
    struct Case {
        PathStyle style;
        std::u16string_view text, root, name, parent;
    };
    const Case cases[] = {
        {PathStyle::kWindows, u"C:", u"C:", u"", u""},
        {PathStyle::kWindows, u"C:\\dir", u"C:", u"dir", u"C:"},
        {PathStyle::kWindows, u"C:\\a\\b.txt", u"C:", u"b.txt", u"C:\\a"},
        {PathStyle::kWindows, u"\\\\srv\\sh", u"\\\\srv\\sh", u"", u""},
        {PathStyle::kWindows, u"\\\\srv\\sh\\x", u"\\\\srv\\sh", u"x", u"\\\\srv\\sh"},
        {PathStyle::kPosix, u"/", u"/", u"", u""},
        {PathStyle::kPosix, u"/a", u"/", u"a", u"/"},
        {PathStyle::kPosix, u"/a/b", u"/", u"b", u"/a"},
    };
    for (const Case& c : cases) {
        std::string what = Utf8(BaseString(c.text));
        EXPECT_EQ(c.text.substr(0, Io::RootLength(c.text, c.style)), c.root) << what;
        EXPECT_EQ(Io::LastComponent(c.text, c.style), c.name) << what;
        EXPECT_EQ(Io::ParentText(c.text, c.style), c.parent) << what;
    }
}

TEST(PathGrammar, ResolvingAcrossRoots) {
    struct Case {
        PathStyle style;
        std::u16string_view base, name, expected;
    };
    const Case cases[] = {
        {PathStyle::kWindows, u"C:\\a", u"..\\b", u"C:\\b"},
        {PathStyle::kWindows, u"C:\\a", u"D:\\x", u"D:\\x"},
        {PathStyle::kWindows, u"C:\\a", u"\\\\srv\\sh\\y", u"\\\\srv\\sh\\y"},
        {PathStyle::kWindows, u"C:\\a", u"\\x", u"C:\\a\\x"},
        {PathStyle::kWindows, u"C:", u"..", u""},
        {PathStyle::kPosix, u"/a", u"../b", u"/b"},
        {PathStyle::kPosix, u"/a", u"/x", u"/x"},
        {PathStyle::kPosix, u"/a", u"\\x", u"/x"},
        {PathStyle::kPosix, u"/", u"x", u"/x"},
    };
    for (const Case& c : cases) {
        BaseString text = Io::ResolveText(c.base, c.name, c.style);
        EXPECT_EQ(Io::NormalizePath(text, u"", c.style), c.expected)
            << Utf8(BaseString(c.base)) << " + " << Utf8(BaseString(c.name));
    }
}

TEST(FileUri, PathTextsAndComponents) {
    Io::UriComponents components = Io::FileUriComponents(u"C:\\a b");
    EXPECT_EQ(components.size(), 2u);
    EXPECT_EQ(components[0], u"file");
    EXPECT_EQ(components[5], u"C|/a b");
    EXPECT_EQ(Io::FileUriComponents(u"/a:b/c")[5], u"/a|b/c");

    EXPECT_EQ(Io::PathNameOfFileUri({{0, u"file"}, {5, u"C|/a b"}}), u"C:\\a b");
    EXPECT_EQ(Io::PathNameOfFileUri({{0, u"file"}, {3, u"srv"}, {5, u"sh/x"}}), u"\\\\srv\\sh\\x");
    EXPECT_EQ(Io::PathNameOfFileUri({{0, u"file"}}), u"");
}

}  // namespace
