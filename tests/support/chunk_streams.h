#pragma once

#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "io/stream.h"
#include "io/text/stream.h"
#include "object/impl.h"

// Sources that hand out given chunks, and a sink that keeps what it is given,
// for the tests and fuzz targets of the text streams.

// A byte source that hands out the given chunks in order.
class ChunkSource final : public Object::Impl<ChunkSource, Io::Source> {
public:
    explicit ChunkSource(std::vector<std::string> chunks) : chunks_(chunks.begin(), chunks.end()) {}

    bool atEnd() override { return chunks_.empty(); }
    ByteBuffer read() override {
        if (chunks_.empty()) {
            return {};
        }
        ByteBuffer chunk(chunks_.front());
        chunks_.pop_front();
        return chunk;
    }

private:
    std::deque<std::string> chunks_;
};

// A text source that hands out the given chunks in order.
class TextChunkSource final : public Object::Impl<TextChunkSource, Io::Text::Source> {
public:
    explicit TextChunkSource(std::vector<std::u16string> chunks)
        : chunks_(chunks.begin(), chunks.end()) {}

    bool atEnd() override { return chunks_.empty(); }
    BaseString read() override {
        if (chunks_.empty()) {
            return {};
        }
        BaseString chunk(chunks_.front());
        chunks_.pop_front();
        return chunk;
    }

private:
    std::deque<std::u16string> chunks_;
};

// `text` cut into chunks of `size` units (one chunk when size is 0).
template <class Char>
std::vector<std::basic_string<Char>> Chunks(std::basic_string_view<Char> text, size_t size) {
    std::vector<std::basic_string<Char>> chunks;
    if (size == 0) {
        size = text.size() ? text.size() : 1;
    }
    for (size_t at = 0; at < text.size(); at += size) {
        chunks.emplace_back(text.substr(at, size));
    }
    return chunks;
}

inline Ref<Io::Source> SourceOf(std::string_view bytes, size_t chunk_size = 0) {
    return Object::New<ChunkSource>(Chunks(bytes, chunk_size));
}

inline Ref<Io::Text::Source> TextSourceOf(std::u16string_view text, size_t chunk_size = 0) {
    return Object::New<TextChunkSource>(Chunks(text, chunk_size));
}

// A byte sink that keeps what it is given.
class CollectingSink final : public Object::Impl<CollectingSink, Io::Sink> {
public:
    void write(const ByteBuffer& bytes) override {
        this->bytes += bytes.view();
        ++writes;
    }
    void terminate() override { ++terminations; }

    std::string bytes;
    int writes = 0;
    int terminations = 0;
};

// Every byte a source still delivers.
inline std::string Drain(Io::Source& source) {
    std::string bytes;
    for (ByteBuffer chunk = source.read(); !chunk.empty(); chunk = source.read()) {
        bytes += chunk.view();
    }
    return bytes;
}
