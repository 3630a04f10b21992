// Decoding 10 MB of UTF-8 into UTF-16 and encoding it back, in 64 KiB chunks
// as file sources deliver them: the runtime's decoder and encoder against
// glibc's iconv on the same data.
#include <benchmark/benchmark.h>
#include <iconv.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "io/text/decoder.h"
#include "io/text/encoder.h"
#include "object/impl.h"
#include "object/system.h"

namespace {

constexpr size_t kTextBytes = 10 << 20;
constexpr size_t kChunkBytes = 64 << 10;

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Prose: words of ASCII letters with an accented letter now and then.
std::string MostlyAscii() {
    std::mt19937 random(1);
    std::string text;
    while (text.size() < kTextBytes) {
        for (int i = random() % 9 + 1; i > 0; --i) {
            AppendUtf8(text, random() % 40 == 0 ? U'\u00E9' : U'a' + random() % 26);
        }
        text += random() % 12 == 0 ? '\n' : ' ';
    }
    return text;
}

// Chinese text: ideographs with some ASCII punctuation and digits.
std::string MostlyCjk() {
    std::mt19937 random(2);
    std::string text;
    while (text.size() < kTextBytes) {
        AppendUtf8(text, random() % 10 == 0 ? U'0' + random() % 10 : 0x4E00 + random() % 0x5000);
    }
    return text;
}

std::vector<ByteBuffer> ByteChunks(const std::string& bytes) {
    std::vector<ByteBuffer> chunks;
    for (size_t at = 0; at < bytes.size(); at += kChunkBytes) {
        chunks.emplace_back(bytes.data() + at, std::min(kChunkBytes, bytes.size() - at));
    }
    return chunks;
}

// Hands out prepared chunks, as a file source would read them.
class ChunkSource final : public Object::Impl<ChunkSource, Io::Source> {
public:
    explicit ChunkSource(const std::vector<ByteBuffer>& chunks) : chunks_(chunks) {}
    bool atEnd() override { return next_ == chunks_.size(); }
    ByteBuffer read() override { return atEnd() ? ByteBuffer() : chunks_[next_++]; }

private:
    const std::vector<ByteBuffer>& chunks_;
    size_t next_ = 0;
};

class CountingSink final : public Object::Impl<CountingSink, Io::Sink> {
public:
    void write(const ByteBuffer& bytes) override { written += bytes.size(); }
    void terminate() override {}
    size_t written = 0;
};

std::vector<BaseString> Decode(const std::vector<ByteBuffer>& chunks) {
    Ref<Io::Text::Decoder> decoder =
        Io::Text::CreateDecoder(Object::New<ChunkSource>(chunks), true);
    decoder->setCodePage(65001);
    std::vector<BaseString> texts;
    for (BaseString text = decoder->read(); !text.empty(); text = decoder->read()) {
        texts.push_back(std::move(text));
    }
    return texts;
}

void Decoder(benchmark::State& state, const std::string& text) {
    std::vector<ByteBuffer> chunks = ByteChunks(text);
    for (auto _ : state) {
        Ref<Io::Text::Decoder> decoder =
            Io::Text::CreateDecoder(Object::New<ChunkSource>(chunks), true);
        decoder->setCodePage(65001);
        size_t produced = 0;
        for (BaseString text = decoder->read(); !text.empty(); text = decoder->read()) {
            produced += text.length();
        }
        benchmark::DoNotOptimize(produced);
    }
    state.SetBytesProcessed(state.iterations() * text.size());
}

// iconv over the same chunks, carrying a sequence cut at a chunk's end over
// to the next chunk as the decoder does.
void Iconv(benchmark::State& state, const std::string& text) {
    iconv_t converter = iconv_open("UTF-16LE", "UTF-8");
    std::vector<char> out(2 * kChunkBytes + 16);
    for (auto _ : state) {
        std::string carry;
        size_t produced = 0;
        for (size_t at = 0; at < text.size(); at += kChunkBytes) {
            std::string chunk = carry + text.substr(at, kChunkBytes);
            char* in = chunk.data();
            size_t in_left = chunk.size();
            char* out_at = out.data();
            size_t out_left = out.size();
            iconv(converter, &in, &in_left, &out_at, &out_left);
            carry.assign(in, in_left);
            produced += out.size() - out_left;
        }
        benchmark::DoNotOptimize(produced);
    }
    iconv_close(converter);
    state.SetBytesProcessed(state.iterations() * text.size());
}

void Encoder(benchmark::State& state, const std::string& text) {
    std::vector<BaseString> texts = Decode(ByteChunks(text));
    for (auto _ : state) {
        Ref<CountingSink> sink = Object::New<CountingSink>();
        Ref<Io::Text::Encoder> encoder = Io::Text::CreateEncoder(sink, 65001, false, true);
        for (const BaseString& chunk : texts) {
            encoder->write(chunk);
        }
        benchmark::DoNotOptimize(sink->written);
    }
    state.SetBytesProcessed(state.iterations() * text.size());
}

void IconvEncoder(benchmark::State& state, const std::string& text) {
    std::vector<BaseString> texts = Decode(ByteChunks(text));
    iconv_t converter = iconv_open("UTF-8", "UTF-16LE");
    std::vector<char> out(3 * kChunkBytes + 16);
    for (auto _ : state) {
        size_t produced = 0;
        for (const BaseString& chunk : texts) {
            char* in = reinterpret_cast<char*>(const_cast<char16_t*>(chunk.data()));
            size_t in_left = chunk.length() * 2;
            char* out_at = out.data();
            size_t out_left = out.size();
            iconv(converter, &in, &in_left, &out_at, &out_left);
            produced += out.size() - out_left;
        }
        benchmark::DoNotOptimize(produced);
    }
    iconv_close(converter);
    state.SetBytesProcessed(state.iterations() * text.size());
}

const std::string& AsciiText() {
    static const std::string text = MostlyAscii();
    return text;
}
const std::string& CjkText() {
    static const std::string text = MostlyCjk();
    return text;
}

void BM_Decode_Ascii_Decoder(benchmark::State& state) {
    Decoder(state, AsciiText());
}
void BM_Decode_Ascii_Iconv(benchmark::State& state) {
    Iconv(state, AsciiText());
}
void BM_Decode_Cjk_Decoder(benchmark::State& state) {
    Decoder(state, CjkText());
}
void BM_Decode_Cjk_Iconv(benchmark::State& state) {
    Iconv(state, CjkText());
}
void BM_Encode_Ascii_Encoder(benchmark::State& state) {
    Encoder(state, AsciiText());
}
void BM_Encode_Ascii_Iconv(benchmark::State& state) {
    IconvEncoder(state, AsciiText());
}
void BM_Encode_Cjk_Encoder(benchmark::State& state) {
    Encoder(state, CjkText());
}
void BM_Encode_Cjk_Iconv(benchmark::State& state) {
    IconvEncoder(state, CjkText());
}

BENCHMARK(BM_Decode_Ascii_Decoder)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Decode_Ascii_Iconv)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Decode_Cjk_Decoder)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Decode_Cjk_Iconv)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Encode_Ascii_Encoder)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Encode_Ascii_Iconv)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Encode_Cjk_Encoder)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Encode_Cjk_Iconv)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    Object::ModuleStart();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
