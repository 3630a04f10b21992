#pragma once

#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "io/stream.h"
#include "object/impl.h"

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

// `bytes` cut into chunks of `size` bytes (one chunk when size is 0).
inline std::vector<std::string> Chunks(std::string_view bytes, size_t size) {
    std::vector<std::string> chunks;
    if (size == 0) {
        size = bytes.size() ? bytes.size() : 1;
    }
    for (size_t at = 0; at < bytes.size(); at += size) {
        chunks.emplace_back(bytes.substr(at, size));
    }
    return chunks;
}

inline Ref<Io::Source> SourceOf(std::string_view bytes, size_t chunk_size = 0) {
    return Object::New<ChunkSource>(Chunks(bytes, chunk_size));
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
