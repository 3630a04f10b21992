#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/win.h"
#include "chunk_streams.h"
#include "io/text/code_page.h"
#include "io/text/code_page_tables.h"
#include "io/text/decoder.h"
#include "test_support.h"

namespace {

using Io::Text::CodePageTable;

// The tables that serve the single-byte code pages off Windows convert every
// byte and every character exactly as Windows does, with and without best fit.
TEST(CodePageTables, MatchTheWindowsConversion) {
    for (int32_t code_page : {1250, 1252, 28591, 28592}) {
        const CodePageTable* table = Io::Text::FindCodePageTable(code_page);
        ASSERT_NE(table, nullptr) << code_page;
        for (int byte = 0; byte < 256; ++byte) {
            char in = static_cast<char>(byte);
            wchar_t out = 0;
            ASSERT_EQ(MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, &in, 1, &out, 1), 1);
            EXPECT_EQ(out, table->to_unicode[byte]) << code_page << " byte " << byte;
        }
        for (int character = 1; character < 0x10000; ++character) {
            const Io::Text::CodePageEncoding* row =
                Io::Text::FindEncoding(*table, static_cast<char16_t>(character));
            for (bool best_fit : {false, true}) {
                wchar_t in = static_cast<wchar_t>(character);
                char out = 0;
                BOOL used_default = FALSE;
                DWORD flags = best_fit ? 0 : WC_NO_BEST_FIT_CHARS;
                ASSERT_EQ(
                    WideCharToMultiByte(code_page, flags, &in, 1, &out, 1, nullptr, &used_default),
                    1);
                bool writes = row && (best_fit || !row->best_fit);
                EXPECT_EQ(static_cast<uint8_t>(out), writes ? row->byte : '?')
                    << code_page << " character " << character << " best fit " << best_fit;
                EXPECT_EQ(used_default != FALSE, !writes)
                    << code_page << " character " << character << " best fit " << best_fit;
            }
        }
    }
}

struct CutCase {
    const char* rule;
    std::string bytes;
    std::u16string text;
};

// Each text decodes the same whole and cut in two after each of its bytes.
void CheckCutAtEveryByte(int32_t code_page, const std::vector<CutCase>& cases) {
    for (const CutCase& c : cases) {
        for (size_t cut = 0; cut < c.bytes.size(); ++cut) {
            std::vector<std::string> chunks{c.bytes};
            if (cut > 0) {
                chunks = {c.bytes.substr(0, cut), c.bytes.substr(cut)};
            }
            Ref<Io::Text::Decoder> decoder =
                Io::Text::CreateDecoder(Object::New<ChunkSource>(chunks), false);
            decoder->setCodePage(code_page);
            std::u16string text;
            for (BaseString read = decoder->read(); !read.empty(); read = decoder->read()) {
                text += read.view();
            }
            EXPECT_EQ(text, c.text) << c.rule << ", cut after byte " << cut;
            EXPECT_TRUE(decoder->atEnd()) << c.rule << ", cut after byte " << cut;
        }
    }
}

// A character cut by the end of a chunk waits for the next one; bytes that
// break a sequence are invalid characters, each costing one byte.
TEST(CodePageDecoder, DoubleByteTextDecodesTheSameWhereverAChunkEnds) {
    CheckCutAtEveryByte(936, {
                                 {"two- and one-byte characters",
                                  "\xB0\xA1"
                                  "A\x81\x40\xA1\xA1",
                                  u"\u554AA\u4E02\u3000"},
                                 {"a lead byte before a byte that cannot follow it",
                                  "\x81\x20"
                                  "B",
                                  u"? B"},
                                 {"a lead byte cut off by the end of the text", "A\xB0", u"A?"},
                             });
}

// GB18030 also has characters of four bytes, which the platform's lead-byte
// query does not know. Wine 8 does not convert GB18030 at all: there the
// length rule is tested on its own below.
TEST(CodePageDecoder, Gb18030TextDecodesTheSameWhereverAChunkEnds) {
    if (!::IsValidCodePage(54936)) {
        GTEST_SKIP() << "this system does not convert GB18030";
    }
    CheckCutAtEveryByte(54936,
                        {
                            {"two-, four- and one-byte characters, a surrogate pair among them",
                             "\xB0\xA1\x81\x30\x8A\x32"
                             "A\x94\x39\xFC\x36",
                             u"\u554A\u00E5A\U0001F600"},
                            {"a third byte that is no lead byte: invalid, the digit stays",
                             "\x81\x30\x41\x42", u"?0AB"},
                            {"a fourth byte that is no digit: invalid, the rest is read again",
                             "\x81\x30\x81\x41", u"?0\u4E04"},
                            {"a lead byte before a byte that cannot follow it", "\x81\x20", u"? "},
                            {"four bytes cut off by the end of the text", "A\x81\x30\x81", u"A?"},
                        });
}

// The length the decoder waits for: every proper start of a GB18030 sequence
// asks for more bytes, a whole one is its own length, and a start whose bytes
// already break the pattern asks for no more than it has.
TEST(CodePageCharLength, Gb18030KnowsItsFourByteSequences) {
    struct Case {
        const char* rule;
        std::string sequence;
        size_t length;
    } whole[] = {
        {"one byte", "A", 1},
        {"two bytes", "\xB0\xA1", 2},
        {"four bytes", "\x81\x30\x8A\x32", 4},
        {"four bytes, beyond the basic plane", "\x94\x39\xFC\x36", 4},
    };
    for (const Case& c : whole) {
        for (size_t size = 1; size <= c.sequence.size(); ++size) {
            std::string_view start = std::string_view(c.sequence).substr(0, size);
            size_t length = Io::Text::CodePageCharLength(54936, start);
            if (size < c.sequence.size()) {
                EXPECT_GT(length, size) << c.rule << ", " << size << " bytes";
            } else {
                EXPECT_EQ(length, size) << c.rule;
            }
        }
    }
    Case broken[] = {
        {"a second byte that fits neither form", "\x81\x20", 2},
        {"a third byte that is no lead byte", "\x81\x30\x41", 3},
    };
    for (const Case& c : broken) {
        EXPECT_EQ(Io::Text::CodePageCharLength(54936, c.sequence), c.length) << c.rule;
    }
}

// Every code page that accepts the platform's invalid-character flag gets it,
// UTF-8 among them: bytes that are no character fail the conversion instead
// of coming back as U+FFFD or as a character that swallows the next byte.
TEST(CodePageConversion, InvalidBytesFailTheConversion) {
    struct Case {
        const char* rule;
        int32_t code_page;
        std::string bytes;
        bool converts;
    } cases[] = {
        {"UTF-8, an overlong form", 65001, "\xC0\xAF", false},
        {"UTF-8, a lead byte cut off", 65001, "A\xC3", false},
        {"UTF-8, a whole character", 65001, "\xC3\xA9", true},
        {"GBK, a lead byte before a space", 936, "\x81\x20", false},
        {"GBK, a lead byte cut off", 936, "A\xB0", false},
        {"GBK, a whole character", 936, "\xB0\xA1", true},
    };
    for (const Case& c : cases) {
        BaseString text(u"kept");
        EXPECT_EQ(Io::Text::DecodeCodePage(c.code_page, c.bytes, text), c.converts) << c.rule;
        if (!c.converts) {
            EXPECT_EQ(text, u"kept") << c.rule;
        }
    }
}

}  // namespace
