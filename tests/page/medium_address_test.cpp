#include <gtest/gtest.h>

#include "launcher/page/medium_address.h"
#include "test_support.h"

namespace {

TEST(MediumAddress, AFoldersFileUrl) {
    struct Case {
        const char* rule;
        std::u16string_view folder;
        std::u16string_view url;
    } cases[] = {
        {"a drive's root", u"D:\\", u"file:///D:/"},
        {"a folder gets its closing slash", u"C:\\Users\\Jo\\Media", u"file:///C:/Users/Jo/Media/"},
        {"a network share: the server is the host", u"\\\\server\\share\\cd",
         u"file://server/share/cd/"},
        {"a POSIX folder", u"/media/cd", u"file:///media/cd/"},
        {"what would end or change the path is escaped", u"C:\\100% sure #1?\t",
         u"file:///C:/100%25%20sure%20%231%3F%09/"},
        {"other characters stay as they are", u"D:\\J\u00FCrgen's&co\\\u81EA\u52D5",
         u"file:///D:/J\u00FCrgen's&co/\u81EA\u52D5/"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        EXPECT_EQ(FolderFileUrl(c.folder), BaseString(c.url));
    }
}

TEST(MediumAddress, WhatLiesInsideAFolder) {
    const std::u16string_view folder = u"file:///D:/My%20Media/";
    struct Case {
        const char* rule;
        std::u16string_view url;
        bool inside;
    } cases[] = {
        {"a file of the folder", u"file:///D:/My%20Media/rsc/autorun.css", true},
        {"the folder itself", u"file:///D:/My%20Media", true},
        {"two slashes, backslashes, the other case, unescaped",
         u"FILE://d:\\my media\\RSC\\logo.svg", true},
        {"an old drive bar, a query and a fragment", u"file:///D|/My Media/a.html?x=1#top", true},
        {"escapes as UTF-8", u"file:///D:/My%20Media/%C3%BC.png", true},
        {"climbing out", u"file:///D:/My%20Media/rsc/../../secret.txt", false},
        {"climbing out, escaped", u"file:///D:/My%20Media/%2E%2E/secret.txt", false},
        {"climbing out, by an escaped separator", u"file:///D:/My%20Media/rsc%5C..%5Cx", false},
        {"a dot segment", u"file:///D:/My%20Media/./a", false},
        {"a folder of a longer name", u"file:///D:/My%20Media2/a", false},
        {"the folder's parent", u"file:///D:/", false},
        {"another drive", u"file:///E:/My%20Media/a", false},
        {"another scheme", u"http://D:/My%20Media/a", false},
        {"an about: page", u"about:quorra", false},
        {"escapes that are no UTF-8", u"file:///D:/My%20Media/%FF.png", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        EXPECT_EQ(IsFileUrlInFolder(c.url, folder), c.inside);
    }
    EXPECT_TRUE(IsFileUrlInFolder(u"file://server/share/cd/x", u"file://server/share/cd/"));
    EXPECT_FALSE(IsFileUrlInFolder(u"file:///D:/x", u"")) << "no folder holds anything";
}

}  // namespace
