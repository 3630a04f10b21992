#include <gtest/gtest.h>

#include <string>

#include "chunk_streams.h"
#include "io/text/decoder.h"
#include "test_support.h"

namespace {

using namespace std::string_literals;
using Io::Text::CreateDecoder;
using Io::Text::Decoder;

// The texts the reads deliver up to the first empty one, joined by "|".
std::u16string Reads(Decoder& decoder) {
    std::u16string joined;
    for (int i = 0; i < 1000; ++i) {
        BaseString text = decoder.read();
        if (text.empty()) {
            return joined;
        }
        joined += joined.empty() ? u"" : u"|";
        joined += text.view();
    }
    ADD_FAILURE() << "the decoder never ended";
    return joined;
}

std::u16string WithoutBars(std::u16string text) {
    std::erase(text, u'|');
    return text;
}

// The internal-error text of a "text" tag.
BaseString TextError(const char16_t* tag) {
    return BaseString(u"An internal error occurred (text: ") + tag + u").";
}

struct Case {
    const char* name;
    std::string bytes;
    int32_t code_page;  // set before the first read unless -1
    std::u16string reads;
    int32_t code_page_after;
};

// Every case decodes the same text whether the bytes come in one chunk or
// one byte at a time (only where the reads split differs).
void CheckCases(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        for (size_t chunk : {size_t{0}, size_t{1}, size_t{2}, size_t{3}}) {
            Ref<Decoder> decoder = CreateDecoder(SourceOf(c.bytes, chunk), false);
            if (c.code_page != -1) {
                decoder->setCodePage(c.code_page);
            }
            std::u16string reads = Reads(*decoder);
            if (chunk == 0) {
                EXPECT_EQ(reads, c.reads) << c.name;
            } else {
                EXPECT_EQ(WithoutBars(reads), WithoutBars(c.reads))
                    << c.name << ", chunk " << chunk;
            }
            EXPECT_EQ(decoder->codePage(), c.code_page_after) << c.name;
            EXPECT_TRUE(decoder->atEnd()) << c.name;
        }
    }
}

TEST(Decoder, DetectsByteOrderMarks) {
    CheckCases({
        {"empty", "", -1, u"", -1},
        {"UTF-8 mark",
         "\xEF\xBB\xBF"
         "A",
         -1, u"A", 65001},
        {"UTF-16LE mark",
         "\xFF\xFE"
         "A\0"s,
         -1, u"A", 1200},
        {"UTF-16BE mark", "\xFE\xFF\0A"s, -1, u"A", 1201},
        {"no mark is UTF-8", "AB", -1, u"AB", 65001},
        {"mark alone", "\xEF\xBB\xBF", -1, u"", 65001},
        {"half a UTF-8 mark",
         "\xEF\xBB"
         "A",
         -1, u"?|?|A", 65001},
        {"half a UTF-16 mark",
         "\xFE"
         "A",
         -1, u"?|A", 65001},
        {"mark cut off", "\xFF", -1, u"?", 65001},
        {"UTF-8 mark set explicitly",
         "\xEF\xBB\xBF"
         "A",
         65001, u"A", 65001},
        {"UTF-16LE mark set explicitly",
         "\xFF\xFE"
         "A\0"s,
         1200, u"A", 1200},
        {"UTF-16BE mark set explicitly", "\xFE\xFF\0A"s, 1201, u"A", 1201},
        {"EF then no mark",
         "\xEF"
         "A",
         65001, u"?|A", 65001},
        {"EF beginning a character", "\xEF\xBC\xA1", 65001, u"\uFF21", 65001},
        {"FF beginning a character", "\xFF\0"s, 1200, u"\u00FF", 1200},
        {"UTF-8 mark not skipped later", "A\xEF\xBB\xBF", 65001, u"A\uFEFF", 65001},
    });
}

TEST(Decoder, Utf8) {
    CheckCases({
        {"lead byte cut off at the end", "A\xC3", 65001, u"A|?", 65001},
        {"stray continuation byte",
         "A\x80"
         "B",
         65001, u"A|?|B", 65001},
        {"two, three and four bytes", "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", 65001,
         u"\u00E9\u20AC\U0001F600", 65001},
        {"four bytes cut off", "\xF0\x9F\x98", 65001, u"?", 65001},
        {"overlong slash", "\xC0\xAF", 65001, u"?|?", 65001},
        {"overlong three bytes",
         "\xE0\x80\xAF"
         "A",
         65001, u"?|?|?|A", 65001},
        {"encoded surrogate", "\xED\xA0\x80", 65001, u"?|?|?", 65001},
        {"above U+10FFFF", "\xF4\x90\x80\x80", 65001, u"?|?|?|?", 65001},
        {"no lead byte", "\xF8\xFF", 65001, u"?|?", 65001},
        {"broken sequence keeps the next character",
         "\xE2\x82"
         "A",
         65001, u"?|?|A", 65001},
        {"zero byte", "A\0B"s, 65001, u"A|?|B", 65001},
    });
}

TEST(Decoder, Utf16) {
    CheckCases({
        {"odd byte count", "A\0B"s, 1200, u"A|?", 1200},
        {"big-endian", "\0A\0B"s, 1201, u"AB", 1201},
        {"surrogates pass through", "\xD8\x3D\xDE\x00\xDC\x00"s, 1201, u"\U0001F600\xDC00", 1201},
        {"zero unit", "A\0\0\0B\0"s, 1200, u"A|?|B", 1200},
    });
}

TEST(Decoder, CodePages) {
    CheckCases({
        {"windows-1252", "A\x80\xE9", 1252, u"A\u20AC\u00E9", 1252},
        {"windows-1252 undefined byte", "\x81", 1252, u"\u0081", 1252},
        {"windows-1250", "\x8A\xB9", 1250, u"\u0160\u0105", 1250},
        {"ISO-8859-1", "\x80\xFF", 28591, u"\u0080\u00FF", 28591},
        {"ISO-8859-2", "\xA1\xFF", 28592, u"\u0104\u02D9", 28592},
        {"zero byte", "A\0B"s, 1252, u"A|?|B", 1252},
        {"code page without conversion", "AB", 12345, u"?|?", 12345},
    });
}

TEST(Decoder, StrictDecoderThrowsAndGoesOnAfterTheBadBytes) {
    ScopedLanguage english(0x0409);
    Ref<Decoder> decoder = CreateDecoder(SourceOf("A\x80"
                                                  "B"),
                                         true);
    decoder->setCodePage(65001);
    EXPECT_EQ(decoder->read(), u"A");
    try {
        decoder->read();
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(error.GetText(), TextError(u"text-dec-inv-char"));
    }
    EXPECT_THROW(decoder->returnText(BaseString()), Error);
    EXPECT_EQ(decoder->read(), u"B");
    EXPECT_EQ(decoder->read(), u"");

    Ref<Decoder> cut_off = CreateDecoder(SourceOf("\xC3"), true);
    EXPECT_THROW(cut_off->read(), Error);
    EXPECT_EQ(cut_off->read(), u"");
}

TEST(Decoder, ReturnTextRules) {
    ScopedLanguage english(0x0409);
    Ref<Decoder> decoder = CreateDecoder(SourceOf("abc"), false);
    auto expect_error = [&](const char16_t* returned, const char16_t* tag) {
        try {
            decoder->returnText(BaseString(returned));
            ADD_FAILURE() << "no error for " << Utf8(BaseString(returned));
        } catch (const Error& error) {
            EXPECT_EQ(error.GetText(), TextError(tag));
        }
    };
    expect_error(u"", u"text-dec-cant-return");
    EXPECT_EQ(decoder->read(), u"abc");
    expect_error(u"x", u"text-dec-badreturn");
    expect_error(u"zabc", u"text-dec-badreturn");
    decoder->returnText(BaseString(u"bc"));
    expect_error(u"c", u"text-dec-cant-return");
    EXPECT_EQ(decoder->read(), u"bc");
    decoder->returnText(BaseString(u"bc"));
    EXPECT_EQ(decoder->read(), u"bc");
    EXPECT_EQ(decoder->read(), u"");
    expect_error(u"", u"text-dec-cant-return");
}

TEST(Decoder, ReturnedTextIsCountedInBytesOfItsEncoding) {
    struct ReturnCase {
        std::string bytes;
        int32_t code_page;
        const char16_t* returned;
    } cases[] = {
        {"a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z", 65001, u"\u20AC\U0001F600z"},
        {"a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z", 65001, u"\U0001F600z"},
        {"a\0b\0c\0"s, 1200, u"bc"},
        {"\0a\0b\0c"s, 1201, u"c"},
        {"a\xE9\x80", 1252, u"\u00E9\u20AC"},
    };
    for (const ReturnCase& c : cases) {
        Ref<Decoder> decoder = CreateDecoder(SourceOf(c.bytes), false);
        decoder->setCodePage(c.code_page);
        BaseString first = decoder->read();
        decoder->returnText(BaseString(c.returned));
        EXPECT_EQ(decoder->read(), c.returned) << Utf8(first);
    }
}

TEST(Decoder, HalfASurrogatePairCannotBeReturned) {
    Ref<Decoder> decoder = CreateDecoder(SourceOf("A\xF0\x9F\x98\x80"), false);
    EXPECT_EQ(decoder->read(), u"A\U0001F600");
    EXPECT_THROW(decoder->returnText(BaseString(u"\xDE00")), Error);
    decoder->returnText(BaseString(u"\U0001F600"));
    EXPECT_EQ(decoder->read(), u"\U0001F600");
}

TEST(Decoder, ReturnedTailIsDecodedAgainUnderTheNewCodePage) {
    for (size_t chunk : {size_t{0}, size_t{1}, size_t{4}}) {
        Ref<Decoder> decoder = CreateDecoder(SourceOf("<?xml?>caf\xE9 \x80", chunk), false);
        std::u16string text;
        while (text.find(u"?>") == std::u16string::npos) {
            text += decoder->read().view();
        }
        EXPECT_EQ(decoder->codePage(), 65001);
        std::u16string tail = text.substr(text.find(u"?>") + 2);
        decoder->returnText(BaseString(tail));
        decoder->setCodePage(1252);
        EXPECT_EQ(WithoutBars(Reads(*decoder)), u"caf\u00E9 \u20AC") << "chunk " << chunk;
    }
}

TEST(Decoder, SourceHandsOverExactlyTheUndecodedBytes) {
    Ref<Decoder> cut = CreateDecoder(Object::New<ChunkSource>(std::vector<std::string>{"ab\xC3",
                                                                                       "\xA9"
                                                                                       "cd",
                                                                                       "ef"}),
                                     false);
    EXPECT_EQ(cut->read(), u"ab");
    Ref<Io::Source> rest = cut->source();
    EXPECT_EQ(rest->read().view(), "\xC3");
    EXPECT_FALSE(rest->atEnd());
    EXPECT_EQ(Drain(*rest),
              "\xA9"
              "cdef");
    EXPECT_TRUE(rest->atEnd());
    EXPECT_EQ(cut->read(), u"");

    Ref<Decoder> returned = CreateDecoder(SourceOf("abc", 2), false);
    EXPECT_EQ(returned->read(), u"ab");
    returned->returnText(BaseString(u"b"));
    EXPECT_EQ(Drain(*returned->source()), "bc");

    Ref<Decoder> unread = CreateDecoder(SourceOf("\xFF\xFE"
                                                 "x"),
                                        false);
    EXPECT_EQ(Drain(*unread->source()),
              "\xFF\xFE"
              "x");
}

TEST(Decoder, CreatorIsRegistered) {
    Ref<Decoder::Creator> creator =
        Object::Create<Decoder::Creator>(BaseString(Io::Text::kDecoderCreatorClsid));
    Ref<Decoder> decoder = creator->create(SourceOf("x"), false);
    EXPECT_EQ(decoder->codePage(), -1);
    EXPECT_FALSE(decoder->atEnd());
}

}  // namespace
