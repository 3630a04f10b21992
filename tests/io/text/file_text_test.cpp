#include <gtest/gtest.h>

#include <string>

#include "io/text/decoder.h"
#include "io/text/encoder.h"
#include "temp_folder.h"

namespace {

// Text whose characters take one to four bytes, so that the 64 KiB chunks of
// a file source cut sequences of every length.
std::u16string LongText() {
    std::u16string text;
    for (int i = 0; text.size() < 150000; ++i) {
        switch (i % 5) {
            case 0:
                text += u"line\r\n";
                break;
            case 1:
                text += static_cast<char16_t>(0x4E00 + i % 3000);
                break;
            case 2:
                text += u"\u00E9";
                break;
            case 3:
                text += u"\U0001F600";
                break;
            default:
                text += static_cast<char16_t>(u'a' + i % 26);
        }
    }
    return text;
}

// The bytes of the text with its byte-order mark, from an independent peer.
std::string Expected(int32_t code_page, const std::u16string& text) {
    if (code_page == 65001) {
        return "\xEF\xBB\xBF" + BaseString(text).ToUtf8();
    }
    std::string bytes = code_page == 1200 ? "\xFF\xFE" : "\xFE\xFF";
    for (char16_t unit : text) {
        char low = static_cast<char>(unit & 0xFF);
        char high = static_cast<char>(unit >> 8);
        bytes += code_page == 1200 ? std::string{low, high} : std::string{high, low};
    }
    return bytes;
}

TEST(FileText, WritesAndReadsFilesInEveryUnicodeEncoding) {
    TempFolder folder;
    const std::u16string text = LongText();
    for (int32_t code_page : {65001, 1200, 1201}) {
        Ref<Io::Path> path = folder.Child(u"text.txt");
        {
            Ref<Io::File> file = path->openFile(Io::Access::kWrite, Io::Share::kRead,
                                                Io::kIfExistsTruncate, Io::kIfMissingCreate);
            Ref<Io::Text::Encoder> encoder =
                Io::Text::CreateEncoder(file->sink(), code_page, true, true);
            for (size_t at = 0; at < text.size(); at += 10000) {
                encoder->write(BaseString(std::u16string_view(text).substr(at, 10000)));
            }
            encoder->terminate();
        }
        EXPECT_EQ(folder.ReadFile(u"text.txt"), Expected(code_page, text)) << code_page;

        Ref<Io::File> file = path->openFile(Io::Access::kRead, Io::Share::kRead, Io::kIfExistsOpen,
                                            Io::kIfMissingFail);
        Ref<Io::Text::Decoder> decoder = Io::Text::CreateDecoder(file->source(), true);
        std::u16string read;
        for (BaseString chunk = decoder->read(); !chunk.empty(); chunk = decoder->read()) {
            read += chunk.view();
        }
        EXPECT_EQ(decoder->codePage(), code_page);
        EXPECT_TRUE(read == text) << code_page;
    }
}

}  // namespace
