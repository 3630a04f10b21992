#pragma once

// The fuzz input as the whole file a reader of file headers reads: the reader
// must never ask for bytes outside it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>

inline std::function<bool(uint64_t offset, void* buffer, size_t size)> InputReader(
    const uint8_t* data, size_t size) {
    return [data, size](uint64_t offset, void* buffer, size_t length) {
        if (offset > size || length > size - offset) {
            std::abort();
        }
        std::memcpy(buffer, data + offset, length);
        return true;
    };
}
