#include <gtest/gtest.h>

#include "base/format.h"

namespace {

TEST(Format, DiagnosticTagFormats) {
    BaseString clsid(u"CID_Missing::Thing");
    EXPECT_EQ(Base::Format("clsid-not-found(%s)", clsid), u"clsid-not-found(CID_Missing::Thing)");
    EXPECT_EQ(Base::Format("xml-parser-syntax(%d:%d)", 12, -3), u"xml-parser-syntax(12:-3)");
    EXPECT_EQ(Base::Format("coinit(%d) err %08x", 2, 0x8001010Eu), u"coinit(2) err 8001010e");
    EXPECT_EQ(Base::Format("unsup-lng(%04x)", 0x40c), u"unsup-lng(040c)");
    EXPECT_EQ(Base::Format("%x|%X|%u", 255, 255, 0xFFFFFFFFu), u"ff|FF|4294967295");
    EXPECT_EQ(Base::Format("%d", 0xE7210000u), u"-417267712");
    EXPECT_EQ(Base::Format("%5d|%-5d|%05d", 42, 42, -42), u"   42|42   |-0042");
    EXPECT_EQ(Base::Format("100%% %s", u"sure"), u"100% sure");
    EXPECT_EQ(Base::Format("vis%d", 5), u"vis5");
}

TEST(Format, PointersPrintAlike) {
    BaseString text = Base::Format("axctrl-crt-fld %p", reinterpret_cast<const void*>(0x1F2E));
    std::u16string expected =
        u"axctrl-crt-fld " + std::u16string(sizeof(void*) * 2 - 4, u'0') + u"1F2E";
    EXPECT_EQ(text, std::u16string_view(expected));
}

TEST(Format, NeverFailsOnOddInput) {
    EXPECT_EQ(Base::Format("%d and %s"), u" and ");
    EXPECT_EQ(Base::Format("trailing %"), u"trailing %");
    EXPECT_EQ(Base::Format("%q", 1), u"%q");
}

}  // namespace
