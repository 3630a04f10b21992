#include "launcher/page/decode_utf8.h"

#include <cstring>

BaseString DecodeUtf8(const unsigned char* bytes, size_t count) {
    if (count == 0) {
        return {};
    }
    const void* zero = std::memchr(bytes, 0, count);
    size_t length =
        zero ? static_cast<size_t>(static_cast<const unsigned char*>(zero) - bytes) : count;
    if (length == 0) {
        return {};
    }
    size_t last_start = length - 1;
    while (last_start > 0 && bytes[last_start] >= 0x80 && bytes[last_start] <= 0xBF) {
        --last_start;
    }
    unsigned char lead = bytes[last_start];
    size_t sequence = 1;
    if (lead >= 0xC0) {
        for (unsigned char bit = 0x40; lead & bit; bit >>= 1) {
            ++sequence;
        }
    }
    if (last_start + sequence > length || sequence > 4) {
        length = last_start;
    }
    return PlatformUtf8ToWide(bytes, length);
}
