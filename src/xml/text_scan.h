#pragma once

// Scans over runs of UTF-16 text, eight units at a time where the processor
// has SSE2 (every x86-64), one at a time elsewhere.
#include <cstddef>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Xml {

// The first unit in [p, end) that is one of `Stops`; end when there is none.
template <char16_t... Stops>
const char16_t* FindAny(const char16_t* p, const char16_t* end) {
#if defined(__SSE2__)
    while (end - p >= 8) {
        __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        __m128i hits = _mm_setzero_si128();
        ((hits = _mm_or_si128(hits, _mm_cmpeq_epi16(units, _mm_set1_epi16(Stops)))), ...);
        if (int mask = _mm_movemask_epi8(hits)) {
            return p + (__builtin_ctz(static_cast<unsigned>(mask)) >> 1);
        }
        p += 8;
    }
#endif
    while (p != end && ((*p != Stops) && ...)) {
        ++p;
    }
    return p;
}

// The line feeds in [p, end): how many, and where the last one is (null when
// there is none).
struct LineFeeds {
    size_t count = 0;
    const char16_t* last = nullptr;
};

inline LineFeeds CountLineFeeds(const char16_t* p, const char16_t* end) {
    LineFeeds found;
#if defined(__SSE2__)
    // Sixteen units at a time, one bit for each; line feeds are few.
    const __m128i line_feed = _mm_set1_epi16(u'\n');
    while (end - p >= 16) {
        __m128i low =
            _mm_cmpeq_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), line_feed);
        __m128i high =
            _mm_cmpeq_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 8)), line_feed);
        unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(low, high)));
        for (; mask != 0; mask &= mask - 1) {
            ++found.count;
            found.last = p + __builtin_ctz(mask);
        }
        p += 16;
    }
#endif
    for (; p != end; ++p) {
        if (*p == u'\n') {
            ++found.count;
            found.last = p;
        }
    }
    return found;
}

}  // namespace Xml
