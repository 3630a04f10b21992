// Drives a line source over random text in random chunks with a random mix of
// its operations. Beyond not crashing, it must end, and reading with `read`
// and `readChar` alone must deliver the text with every line end as one line
// feed.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "chunk_streams.h"
#include "io/text/line_stream.h"
#include "object/system.h"

namespace {

// The text with LF, CR LF and CR each made one line feed.
std::u16string Normalized(const std::u16string& text) {
    std::u16string lines;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r') {
            if (i + 1 < text.size() && text[i + 1] == u'\n') {
                ++i;
            }
            lines += u'\n';
        } else {
            lines += text[i];
        }
    }
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Object::ModuleStart();
    if (size < 4) {
        return 0;
    }
    size_t chunk = data[0] % 8 + 1;
    int32_t tab_width = data[1] % 9 + 1;
    bool reads_only = data[2] & 1;
    const uint8_t* operations = data + 3;
    // Few distinct characters, so that line ends and tabs are common; no zero.
    std::u16string text;
    for (size_t i = 3; i < size; ++i) {
        static constexpr char16_t kAlphabet[] = u"\r\n\ta\u00E9\xD800 ";
        text += kAlphabet[data[i] % (std::size(kAlphabet) - 1)];
    }
    Ref<Io::Text::LineSource> lines =
        Io::Text::CreateLineSource(TextSourceOf(text, chunk), tab_width);

    // The operations run twice over, then reads alone finish the text.
    const size_t mixed_steps = 2 * (size - 3);
    std::u16string delivered;
    for (size_t step = 0;; ++step) {
        if (step > mixed_steps + 2 * text.size() + 8) {
            std::abort();  // the line source does not end
        }
        uint8_t operation =
            step < mixed_steps ? operations[step % (size - 3)] % (reads_only ? 2 : 5) : 1;
        try {
            if (operation == 0) {
                BaseString line = lines->read();
                if (line.empty()) {
                    break;
                }
                delivered += line.view();
            } else if (operation == 1) {
                char16_t c = lines->readChar();
                if (c == 0) {
                    break;
                }
                delivered += c;
            } else if (operation == 2) {
                lines->unreadChar();
            } else if (operation == 3) {
                lines->forget();
            } else {
                lines->lineEnd();
            }
        } catch (const Error&) {
            // Giving back or forgetting twice.
        }
    }
    if (!lines->atEnd() || (reads_only && delivered != Normalized(text))) {
        std::abort();
    }
    return 0;
}
