#include "text/Utf8Decoder.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace sorvane {
namespace {

inline bool isContinuation(unsigned char b) { return (b & 0xC0u) == 0x80u; }

inline bool isNonCharacter(char32_t c) { return (c >= 0xFDD0 && c <= 0xFDEF) || (c & 0xFFFEu) == 0xFFFEu; }

} // namespace

std::optional<QString> decodeWellFormedUtf8(const char *data, qsizetype size)
{
    const auto *p = reinterpret_cast<const unsigned char *>(data);
    if (size >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF)
        return std::nullopt;
    // Never more UTF-16 units than bytes; the string is cut to size at the end.
    QString text(size, Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(text.data());
    char16_t *const begin = out;
    qsizetype i = 0;
    while (i < size) {
#if defined(__SSE2__)
        // ASCII sixteen bytes at a time, widened to UTF-16; a block that
        // holds other bytes still gives the ASCII before the first of them.
        // Writing all sixteen units is safe: the output never runs ahead of
        // the input.
        if (i + 16 <= size) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i));
            const __m128i zero = _mm_setzero_si128();
            _mm_storeu_si128(reinterpret_cast<__m128i *>(out), _mm_unpacklo_epi8(v, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i *>(out + 8), _mm_unpackhi_epi8(v, zero));
            const int mask = _mm_movemask_epi8(v);
            const int ascii = mask == 0 ? 16 : __builtin_ctz(unsigned(mask));
            out += ascii;
            i += ascii;
            if (ascii == 16)
                continue;
        }
#endif
        // Runs of other bytes, and the last few bytes, one character at a time.
        do {
            const unsigned char b = p[i];
            if (b < 0x80) {
                *out++ = b;
                ++i;
            } else if (b >= 0xE0 && b <= 0xEF) {
                if (size - i < 3 || !isContinuation(p[i + 1]) || !isContinuation(p[i + 2]))
                    return std::nullopt;
                const char16_t c = char16_t(((b & 0x0Fu) << 12) | ((p[i + 1] & 0x3Fu) << 6) | (p[i + 2] & 0x3Fu));
                // Overlong forms, surrogates and noncharacters are left to the slower paths.
                if (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF) || isNonCharacter(c))
                    return std::nullopt;
                *out++ = c;
                i += 3;
            } else if (b >= 0xC2 && b <= 0xDF) {
                if (size - i < 2 || !isContinuation(p[i + 1]))
                    return std::nullopt;
                *out++ = char16_t(((b & 0x1Fu) << 6) | (p[i + 1] & 0x3Fu));
                i += 2;
            } else if (b >= 0xF0 && b <= 0xF4) {
                if (size - i < 4 || !isContinuation(p[i + 1]) || !isContinuation(p[i + 2]) || !isContinuation(p[i + 3]))
                    return std::nullopt;
                const char32_t c = ((b & 0x07u) << 18) | ((p[i + 1] & 0x3Fu) << 12) | ((p[i + 2] & 0x3Fu) << 6) |
                                   (p[i + 3] & 0x3Fu);
                if (c < 0x10000 || c > 0x10FFFF || isNonCharacter(c))
                    return std::nullopt;
                *out++ = QChar::highSurrogate(c);
                *out++ = QChar::lowSurrogate(c);
                i += 4;
            } else {
                return std::nullopt;
            }
        } while (i < size && (p[i] >= 0x80 || i + 16 > size));
    }
    text.truncate(out - begin);
    if (text.capacity() - text.size() > text.size() / 16)
        text.squeeze();
    return text;
}

} // namespace sorvane
