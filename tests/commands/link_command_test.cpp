#include <gtest/gtest.h>

#include "launcher/commands/link_command.h"
#include "test_support.h"

namespace {

TEST(DecodeUrlEscapes, DecodesEscapesOnceAndDropsAShortTail) {
    struct Case {
        const char16_t* url;
        const char16_t* decoded;
    } cases[] = {
        {u"", u""},
        {u"run:setup.exe", u"run:setup.exe"},
        {u"run:My%20Setup.exe", u"run:My Setup.exe"},
        {u"run:setup%2Eexe", u"run:setup.exe"},
        {u"%2541", u"%41"},
        {u"100%25", u"100%"},
        {u"%", u""},
        {u"abc%4", u"abc"},
        {u"abc%", u"abc"},
        {u"%41%42c", u"ABc"},
        {u"%7e%7E", u"~~"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DecodeUrlEscapes(c.url), c.decoded) << Utf8(c.url);
    }
}

TEST(DecodeUrlEscapes, KeepsEscapesThatAreNotTwoHexDigitsOrZero) {
    EXPECT_EQ(DecodeUrlEscapes(u"50%zz"), u"50%zz");
    EXPECT_EQ(DecodeUrlEscapes(u"%4g%41"), u"%4gA");
    EXPECT_EQ(DecodeUrlEscapes(u"%%41"), u"%A");
    EXPECT_EQ(DecodeUrlEscapes(u"run:a%00b"), u"run:a%00b");
}

// Web engines escape the UTF-8 of characters outside ASCII; escapes that are
// not part of a well-formed sequence stay single Latin-1 characters.
TEST(DecodeUrlEscapes, JoinsUtf8SequencesAndKeepsOtherBytesAsLatin1) {
    struct Case {
        const char16_t* url;
        const char16_t* decoded;
    } cases[] = {
        {u"run:caf%C3%A9.sh", u"run:café.sh"},
        {u"%E8%87%AA%E5%8B%95", u"自動"},
        {u"%F0%9F%98%80", u"\U0001F600"},
        {u"%E9t%E9", u"\u00E9t\u00E9"},
        {u"%C3", u"\u00C3"},
        {u"%C3%41", u"\u00C3A"},
        {u"%A9%C3%A9", u"\u00A9\u00E9"},
        {u"%C0%AF", u"\u00C0\u00AF"},
        {u"%ED%A0%80", u"\u00ED\u00A0\u0080"},
        {u"%F4%90%80%80", u"\u00F4\u0090\u0080\u0080"},
        {u"%C3%A", u"\u00C3"},
        {u"%C3x%A9", u"\u00C3x\u00A9"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DecodeUrlEscapes(c.url), c.decoded) << Utf8(c.url);
    }
}

TEST(ParseLinkCommand, ReadsExactCaseSensitivePrefixes) {
    using Kind = LinkCommand::Kind;
    struct Case {
        const char16_t* url;
        Kind kind;
        const char16_t* argument;
    } cases[] = {
        {u"run:setup.exe", Kind::kRun, u"setup.exe"},
        {u"run:", Kind::kRun, u""},
        {u"run:My%20Setup.exe", Kind::kRun, u"My Setup.exe"},
        {u"%72un:x", Kind::kRun, u"x"},
        {u"invoke:CID_Test::Extension", Kind::kInvoke, u"CID_Test::Extension"},
        {u"quit:", Kind::kQuit, u""},
        {u"quit%3A", Kind::kQuit, u""},
        {u"Run:setup.exe", Kind::kNone, u""},
        {u"QUIT:", Kind::kNone, u""},
        {u"quit:now", Kind::kNone, u""},
        {u"http://example.com/run:x", Kind::kNone, u""},
        {u"", Kind::kNone, u""},
    };
    for (const Case& c : cases) {
        LinkCommand command = ParseLinkCommand(c.url);
        EXPECT_EQ(command.kind, c.kind) << Utf8(c.url);
        EXPECT_EQ(command.argument, c.argument) << Utf8(c.url);
    }
}

}  // namespace
