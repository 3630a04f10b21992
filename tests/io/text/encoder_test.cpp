#include <gtest/gtest.h>

#include <string>

#include "chunk_streams.h"
#include "io/text/decoder.h"
#include "io/text/encoder.h"
#include "test_support.h"

namespace {

using namespace std::string_literals;
using Io::Text::CreateEncoder;
using Io::Text::Encoder;

struct Written {
    Ref<CollectingSink> sink = Object::New<CollectingSink>();
    Ref<Encoder> encoder;

    Written(int32_t code_page, bool byte_order_mark, bool strict)
        : encoder(CreateEncoder(sink, code_page, byte_order_mark, strict)) {}
};

std::string Encode(int32_t code_page, std::u16string_view text, bool strict) {
    Written written(code_page, false, strict);
    written.encoder->write(BaseString(text));
    return written.sink->bytes;
}

void ExpectInvalidCharacter(int32_t code_page, std::u16string_view text) {
    ScopedLanguage english(0x0409);
    Written written(code_page, false, true);
    try {
        written.encoder->write(BaseString(text));
        ADD_FAILURE() << "no error, code page " << code_page;
    } catch (const Error& error) {
        EXPECT_EQ(error.GetText(), u"An internal error occurred (text: text-enc-inv-char).");
    }
    EXPECT_EQ(written.sink->writes, 0) << code_page;
}

TEST(Encoder, ByteOrderMarkOnTheFirstWriteOnly) {
    struct Case {
        int32_t code_page;
        bool mark;
        std::string bytes;
    } cases[] = {
        {65001, true,
         "\xEF\xBB\xBF"
         "AB"},
        {1200, true,
         "\xFF\xFE"
         "A\0B\0"s},
        {1201, true, "\xFE\xFF\0A\0B"s},
        {1252, true, "AB"},
        {65001, false, "AB"},
    };
    for (const Case& c : cases) {
        Written written(c.code_page, c.mark, true);
        written.encoder->write(BaseString(u"A"));
        written.encoder->write(BaseString(u"B"));
        EXPECT_EQ(written.sink->bytes, c.bytes) << c.code_page;
    }

    Written empty_first(65001, true, true);
    empty_first.encoder->write(BaseString());
    EXPECT_EQ(empty_first.sink->bytes, "\xEF\xBB\xBF");
}

TEST(Encoder, WritesEachEncoding) {
    struct Case {
        int32_t code_page;
        std::u16string text;
        std::string bytes;
    } cases[] = {
        {65001, u"a\u00E9\u20AC\U0001F600", "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"},
        {1200, u"a\U0001F600", "a\0\x3D\xD8\x00\xDE"s},
        {1201, u"a\U0001F600", "\0a\xD8\x3D\xDE\x00"s},
        {1252, u"a\u20AC\u00E9", "a\x80\xE9"},
        {1250, u"\u0160\u0105", "\x8A\xB9"},
        {28591, u"\u00FF", "\xFF"},
        {28592, u"\u0104", "\xA1"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Encode(c.code_page, c.text, true), c.bytes) << c.code_page;
        // What an encoder writes, a decoder reads back.
        Ref<Io::Text::Decoder> decoder = Io::Text::CreateDecoder(SourceOf(c.bytes), true);
        decoder->setCodePage(c.code_page);
        EXPECT_EQ(decoder->read(), c.text) << c.code_page;
    }
}

TEST(Encoder, CharactersTheCodePageLacks) {
    // A strict encoder writes nothing of the text; a lenient one lets the code
    // page stand in a similar character or its default one.
    ExpectInvalidCharacter(1252, u"ab\u0100");
    ExpectInvalidCharacter(28591, u"\u20AC");
    EXPECT_EQ(Encode(1252, u"ab\u0100", false), "abA");
    EXPECT_EQ(Encode(1252, u"\u4E00", false), "?");
    EXPECT_EQ(Encode(28592, u"\u20AC", false), "?");
}

TEST(Encoder, UnpairedSurrogates) {
    for (int32_t code_page : {65001, 1200, 1201, 1252}) {
        ExpectInvalidCharacter(code_page,
                               u"\xD800"
                               "a");
        ExpectInvalidCharacter(code_page, u"a\xDC00");
    }
    EXPECT_EQ(Encode(65001,
                     u"a\xD800"
                     "b\xDC00",
                     false),
              "a\xEF\xBF\xBD"
              "b\xEF\xBF\xBD");
    EXPECT_EQ(Encode(1200,
                     u"\xDC00\xD800\xDC00\xD800"
                     "a",
                     false),
              "\xFD\xFF\0\xD8\0\xDC\xFD\xFF"
              "a\0"s);
    EXPECT_EQ(Encode(1252, u"\xD800", false), "?");
}

TEST(Encoder, SurrogatePairAcrossTwoWrites) {
    struct Case {
        int32_t code_page;
        bool strict;
        std::string bytes;
    } cases[] = {
        {65001, true,
         "a\xF0\x9F\x98\x80"
         "b"},
        {1200, true,
         "a\0\x3D\xD8\x00\xDE"
         "b\0"s},
        {1201, false, "\0a\xD8\x3D\xDE\x00\0b"s},
    };
    for (const Case& c : cases) {
        Written written(c.code_page, false, c.strict);
        written.encoder->write(BaseString(u"a\xD83D"));
        written.encoder->write(
            BaseString(u"\xDE00"
                       "b"));
        written.encoder->terminate();
        EXPECT_EQ(written.sink->bytes, c.bytes) << c.code_page;
    }

    // A first half that no second half follows is unpaired after all.
    Written strict(65001, false, true);
    strict.encoder->write(BaseString(u"a\xD83D"));
    EXPECT_THROW(strict.encoder->terminate(), Error);
    Written lenient(65001, false, false);
    lenient.encoder->write(BaseString(u"a\xD83D"));
    lenient.encoder->terminate();
    EXPECT_EQ(lenient.sink->bytes, "a\xEF\xBF\xBD");
    EXPECT_EQ(lenient.sink->terminations, 1);
}

TEST(Encoder, CodePageWithoutConversionIsRefused) {
    ExpectInvalidCharacter(12345, u"a");
    Written lenient(12345, false, false);
    EXPECT_THROW(lenient.encoder->write(BaseString(u"a")), Error);
}

TEST(Encoder, TerminatedIsFinal) {
    ScopedLanguage english(0x0409);
    Written written(65001, false, true);
    written.encoder->setCodePage(1252);
    EXPECT_EQ(written.encoder->codePage(), 1252);
    written.encoder->terminate();
    EXPECT_EQ(written.sink->terminations, 1);
    auto expect_terminated = [](const std::function<void()>& call) {
        try {
            call();
            ADD_FAILURE() << "no error";
        } catch (const Error& error) {
            EXPECT_EQ(error.GetText(), u"An internal error occurred (text: text-enc-term).");
        }
    };
    expect_terminated([&] { written.encoder->write(BaseString(u"a")); });
    expect_terminated([&] { written.encoder->terminate(); });
    expect_terminated([&] { written.encoder->setCodePage(65001); });
    EXPECT_EQ(written.sink->terminations, 1);
    EXPECT_EQ(written.encoder->sink().Identity(), written.sink.Identity());
}

TEST(Encoder, CreatorAnswersTheDecoderCreatorIdentifier) {
    Ref<Object::Manager> manager = Object::GetManager();
    BaseString clsid(Io::Text::kEncoderCreatorClsid);
    EXPECT_TRUE(manager->Create(clsid, Iid(u"IID_Io::Text::Decoder::Creator")));
    EXPECT_THROW(manager->Create(clsid, Iid(u"IID_Io::Text::Encoder::Creator")), Error);
}

}  // namespace
