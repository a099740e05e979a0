#include "text/Utf8Decoder.h"

#include "text/AsciiWidening.h"

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
        // ASCII sixteen bytes at a time; the output never runs ahead of
        // the input, so the units it writes past the run are room of ours.
        const std::size_t ascii = widenAscii(p + i, std::size_t(size - i), out);
        out += ascii;
        i += qsizetype(ascii);
        if (i == size)
            break;
        // Runs of other bytes one character at a time.
        do {
            const unsigned char b = p[i];
            if (b >= 0xE0 && b <= 0xEF) {
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
        } while (i < size && p[i] >= 0x80);
    }
    text.truncate(out - begin);
    if (text.capacity() - text.size() > text.size() / 16)
        text.squeeze();
    return text;
}

} // namespace sorvane
