#include "text/Utf8Validity.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace sorvane {

const char16_t kUtf8FailurePattern[] =
    u"[\\xC0-\\xDF]([^\\x80-\\xBF]|$)|[\\xE0-\\xEF].{0,1}([^\\x80-\\xBF]|$)|[\\xF0-\\xF7].{0,2}([^\\x80-\\xBF]|$)"
    u"|[\\xF8-\\xFB].{0,3}([^\\x80-\\xBF]|$)|[\\xFC-\\xFD].{0,4}([^\\x80-\\xBF]|$)|[\\xFE-\\xFE].{0,5}([^\\x80-\\xBF]|$)"
    u"|[\\x00-\\x7F][\\x80-\\xBF]|[\\xC0-\\xDF].[\\x80-\\xBF]|[\\xE0-\\xEF]..[\\x80-\\xBF]|[\\xF0-\\xF7]...[\\x80-\\xBF]"
    u"|[\\xF8-\\xFB]....[\\x80-\\xBF]|[\\xFC-\\xFD].....[\\x80-\\xBF]|[\\xFE-\\xFE]......[\\x80-\\xBF]|^[\\x80-\\xBF]";

namespace {

// Continuations a lead byte takes (index: byte - C0), C0..FE; FF has none
// and is handled apart.
constexpr unsigned char kRunLength[64] = {
    1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, // C0-DF
    2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2,                                                 // E0-EF
    3, 3, 3, 3, 3, 3, 3, 3,                                                                         // F0-F7
    4, 4, 4, 4,                                                                                     // F8-FB
    5, 5,                                                                                           // FC-FD
    6,                                                                                              // FE
    0,                                                                                              // FF
};

inline bool isContinuation(unsigned b) { return (b & 0xC0u) == 0x80u; }

// Bytes as they are.
struct ByteUnits {
    const unsigned char *p;
    unsigned operator[](std::size_t i) const { return p[i]; }
    // Whether the 16 units from i on are all ASCII.
    bool asciiBlock(std::size_t i) const
    {
#if defined(__SSE2__)
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i));
        return _mm_movemask_epi8(v) == 0;
#else
        unsigned long long a, b;
        std::memcpy(&a, p + i, 8);
        std::memcpy(&b, p + i + 8, 8);
        return ((a | b) & 0x8080808080808080ull) == 0;
#endif
    }
};

// Characters of a byte string; anything above FF reads as FF.
struct CharUnits {
    const char16_t *p;
    unsigned operator[](std::size_t i) const { return p[i] > 0xFF ? 0xFFu : p[i]; }
    bool asciiBlock(std::size_t i) const
    {
#if defined(__SSE2__)
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i + 8));
        const __m128i high = _mm_set1_epi16(short(0xFF80));
        const __m128i any = _mm_or_si128(_mm_and_si128(a, high), _mm_and_si128(b, high));
        return _mm_movemask_epi8(_mm_cmpeq_epi16(any, _mm_setzero_si128())) == 0xFFFF;
#else
        for (std::size_t k = 0; k < 16; ++k)
            if (p[i + k] >= 0x80)
                return false;
        return true;
#endif
    }
};

template <typename Units>
bool scan(Units u, std::size_t size)
{
    std::size_t i = 0;
    while (i < size) {
        if (i + 16 <= size && u.asciiBlock(i)) {
            // A continuation right after the block is caught below, where it
            // is met with an ASCII byte before it.
            i += 16;
            continue;
        }
        const unsigned b = u[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        if (b < 0xC0) {
            // A continuation no lead byte took: fails first in the bytes
            // (rule 5) or after an ASCII byte (rule 3); after FF or another
            // continuation it is part of no rule.
            if (i == 0 || u[i - 1] < 0x80)
                return false;
            ++i;
            continue;
        }
        if (b >= 0xE0 && b <= 0xEF && size - i > 3) {
            // The common case of Chinese text, with a byte after the run.
            if (!isContinuation(u[i + 1]) || !isContinuation(u[i + 2]) || isContinuation(u[i + 3]))
                return false;
            i += 3;
            continue;
        }
        const std::size_t run = kRunLength[b - 0xC0];
        if (run == 0) { // FF
            ++i;
            continue;
        }
        if (run >= size - i) // the run reaches past the end (rules 1, 2)
            return false;
        for (std::size_t k = 1; k <= run; ++k)
            if (!isContinuation(u[i + k])) // rules 1, 2
                return false;
        const std::size_t after = i + run + 1;
        if (after < size && isContinuation(u[after])) // rule 4
            return false;
        i = after;
    }
    return true;
}

} // namespace

bool isUtf8Bytes(const unsigned char *bytes, std::size_t size)
{
    return scan(ByteUnits{bytes}, size);
}

bool isUtf8ByteString(const QString &byteString)
{
    return scan(CharUnits{reinterpret_cast<const char16_t *>(byteString.utf16())}, std::size_t(byteString.size()));
}

} // namespace sorvane
