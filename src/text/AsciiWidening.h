#pragma once

#include <cstddef>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace sorvane {

// Widens the ASCII bytes at the start of [bytes, bytes + size) to UTF-16 in
// `out` and returns how many there were. Sixteen bytes are taken at a time;
// up to sixteen units past the returned count may be written, so `out` needs
// room for `size` units, as it has when the output never runs ahead of the
// input.
inline std::size_t widenAscii(const unsigned char *bytes, std::size_t size, char16_t *out)
{
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    while (i + 16 <= size) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(bytes + i));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + i), _mm_unpacklo_epi8(v, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + i + 8), _mm_unpackhi_epi8(v, zero));
        const int mask = _mm_movemask_epi8(v);
        if (mask != 0)
            return i + std::size_t(__builtin_ctz(unsigned(mask)));
        i += 16;
    }
#endif
    for (; i < size && bytes[i] < 0x80; ++i)
        out[i] = bytes[i];
    return i;
}

} // namespace sorvane
