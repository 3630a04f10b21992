// Decodes random bytes under a random code page, strictness, chunking and
// returnText pattern. Beyond not crashing, the decoder must end, must decode
// the same text however the bytes are cut into chunks and whatever it was
// given back, and `source` must hand over exactly the bytes not yet decoded.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "chunk_streams.h"
#include "io/text/decoder.h"
#include "object/system.h"

namespace {

constexpr int32_t kCodePages[] = {-1, 65001, 1200, 1201, 1250, 1252, 28591, 28592, 12345};

struct Run {
    int32_t code_page;
    bool strict = false;
    size_t chunk = 0;           // 0: all bytes in one chunk
    bool give_back = false;     // return half of every text read
    bool switch_pages = false;  // and change the code page after it
    size_t reads_before_source = SIZE_MAX;
};

struct Outcome {
    std::u16string text;
    int32_t code_page;
    bool at_end;       // before `source`
    std::string rest;  // what `source` handed over
};

Outcome Decode(std::string_view bytes, const Run& run) {
    Ref<Io::Text::Decoder> decoder =
        Io::Text::CreateDecoder(SourceOf(bytes, run.chunk), run.strict);
    if (run.code_page != -1) {
        decoder->setCodePage(run.code_page);
    }
    Outcome outcome;
    size_t switches = 0;
    for (size_t reads = 0;; ++reads) {
        if (reads > 4 * bytes.size() + 8) {
            std::abort();  // the decoder does not end
        }
        if (reads == run.reads_before_source) {
            break;
        }
        BaseString text;
        try {
            text = decoder->read();
        } catch (const Error&) {
            if (!run.strict) {
                std::abort();  // a lenient decoder never throws for bad input
            }
            continue;
        }
        if (text.empty()) {
            if (!decoder->atEnd()) {
                std::abort();
            }
            break;
        }
        outcome.text += text.view();
        if (run.give_back && text.length() > 1) {
            BaseString tail = text.Substr(text.length() / 2);
            try {
                decoder->returnText(tail);
                outcome.text.resize(outcome.text.size() - tail.length());
            } catch (const Error&) {
                // The tail began inside a surrogate pair.
            }
            if (run.switch_pages) {
                decoder->setCodePage(kCodePages[1 + switches++ % 8]);
            }
        }
    }
    outcome.code_page = decoder->codePage();
    outcome.at_end = decoder->atEnd();
    outcome.rest = Drain(*decoder->source());
    return outcome;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Object::ModuleStart();
    if (size < 3) {
        return 0;
    }
    Run run;
    run.code_page = kCodePages[data[0] % std::size(kCodePages)];
    run.strict = data[1] & 1;
    run.give_back = data[1] & 2;
    run.switch_pages = data[1] & 4;
    run.chunk = data[1] >> 4;
    size_t stop = data[2] % 8;
    std::string_view bytes(reinterpret_cast<const char*>(data + 3), size - 3);

    Outcome chunked = Decode(bytes, run);
    if (run.strict || run.switch_pages) {
        return 0;
    }
    // The text does not depend on the chunks or on what was given back.
    Outcome whole = Decode(bytes, Run{run.code_page});
    if (chunked.text != whole.text || !chunked.rest.empty()) {
        std::abort();
    }
    // Stopped early, the decoder hands over the undecoded rest: the bytes
    // before it decode to what was read. A zero byte after them ends the
    // prefix as one invalid character, so that a sequence it cuts off decodes
    // as the stopped decoder saw it.
    run.reads_before_source = stop;
    Outcome stopped = Decode(bytes, run);
    if (!bytes.ends_with(stopped.rest) || (stopped.at_end && !stopped.rest.empty())) {
        std::abort();
    }
    if (!stopped.at_end) {
        bool utf16 = stopped.code_page == 1200 || stopped.code_page == 1201;
        std::string prefix(bytes.substr(0, bytes.size() - stopped.rest.size()));
        prefix.append(utf16 ? 2 : 1, '\0');
        if (Decode(prefix, Run{run.code_page}).text != stopped.text + u"?") {
            std::abort();
        }
    }
    return 0;
}
