#include <gtest/gtest.h>

#include <string>

#include "launcher/page/decode_utf8.h"

namespace {

BaseString Decode(std::string_view bytes) {
    return DecodeUtf8(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

TEST(DecodeUtf8, EndsAtZeroKeepsTheMarkDropsACutSequence) {
    struct Case {
        std::string_view bytes;
        std::u16string_view text;
    } cases[] = {
        {"", u""},
        {std::string_view("\0abc", 4), u""},
        {std::string_view("ab\0cd", 5), u"ab"},
        {"\xEF\xBB\xBFpage", u"\xFEFFpage"},
        {"caf\xC3\xA9", u"café"},
        {"caf\xC3", u"caf"},  // cut-off two-byte sequence
        {"x\xE8\x87", u"x"},  // cut-off three-byte sequence
        {"x\xF0\x9F\x98\x80", u"x\U0001F600"},
        {"x\xF0\x9F\x98", u"x"},
        {"x\xF8\x88\x80\x80\x80", u"x"},               // five-byte lead: dropped with its tail
        {std::string_view("ok\xC3\0\xA9", 5), u"ok"},  // the zero cuts the sequence
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Decode(c.bytes), c.text) << c.bytes;
    }
}

}  // namespace
