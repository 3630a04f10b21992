#include "icon_file.h"

std::string IconFile(uint32_t colour) {
    std::string bytes;
    auto put = [&](uint32_t value, int size) {
        for (int i = 0; i < size; ++i) {
            bytes += static_cast<char>(value >> (8 * i));
        }
    };
    constexpr int kSide = 16, kImageBytes = 40 + kSide * kSide * 4 + kSide * 4;
    put(0, 2), put(1, 2), put(1, 2);
    put(kSide, 1), put(kSide, 1), put(0, 1), put(0, 1), put(1, 2), put(32, 2);
    put(kImageBytes, 4), put(22, 4);
    put(40, 4), put(kSide, 4), put(2 * kSide, 4), put(1, 2), put(32, 2);
    put(0, 4), put(kSide * kSide * 4, 4), put(0, 4), put(0, 4), put(0, 4), put(0, 4);
    for (int i = 0; i < kSide * kSide; ++i) {
        put(0xFF000000 | colour, 4);
    }
    bytes.append(kSide * 4, '\0');  // the transparency mask: all opaque
    return bytes;
}
