#include "text/CharsetConverter.h"

#include "text/AsciiWidening.h"
#include "text/GbPairTable.h"

#include <QSysInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

#include <iconv.h>

namespace sorvane {

namespace {

// QString's code units in memory order.
constexpr const char *kHostUtf16 = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? "UTF-16LE" : "UTF-16BE";
constexpr char16_t kReplacement = 0xFFFD;

class Iconv {
public:
    Iconv(const char *to, const char *from) : m_cd(iconv_open(to, from)) {}
    ~Iconv()
    {
        if (valid())
            iconv_close(m_cd);
    }
    Iconv(const Iconv &) = delete;
    Iconv &operator=(const Iconv &) = delete;

    bool valid() const { return m_cd != iconv_t(-1); }
    iconv_t get() const { return m_cd; }

private:
    iconv_t m_cd;
};

ScriptError unknownCharset(const char *charset)
{
    return scriptError(ErrorNumber::InvalidProcedureCall,
                       QStringLiteral("the character set \"%1\" is not supported").arg(QString::fromLatin1(charset)));
}

} // namespace

namespace {

// ASCII runs shorter than this stay with iconv: one call per run would cost
// more than it saves.
constexpr std::size_t kShortestCopiedRun = 16;

std::size_t asciiRunEnd(const unsigned char *p, std::size_t from, std::size_t size)
{
    std::size_t i = from;
    while (i + 8 <= size) {
        unsigned long long word;
        std::memcpy(&word, p + i, 8);
        if (word & 0x8080808080808080ull)
            break;
        i += 8;
    }
    while (i < size && p[i] < 0x80)
        ++i;
    return i;
}

} // namespace

Result<CharsetConverter::Decoded> CharsetConverter::decode(const char *bytes, std::size_t size, const char *charset,
                                                           std::size_t invalidUnit, bool asciiRuns)
{
    Iconv cd(kHostUtf16, charset);
    if (!cd.valid())
        return unknownCharset(charset);
    invalidUnit = std::max<std::size_t>(invalidUnit, 1);

    Decoded result;
    QString &out = result.text;
    // One unit per input byte holds every set in common use; others grow.
    out.resize(qsizetype(std::max<std::size_t>(size, 16)));
    char *outBase = reinterpret_cast<char *>(out.data());
    char *outPtr = outBase;
    size_t outLeft = size_t(out.size()) * 2;

    auto grow = [&](size_t neededBytes) {
        if (outLeft >= neededBytes)
            return;
        const qsizetype used = qsizetype(outPtr - outBase);
        out.resize(out.size() + std::max<qsizetype>(out.size() / 2, qsizetype(neededBytes) + 64));
        outBase = reinterpret_cast<char *>(out.data());
        outPtr = outBase + used;
        outLeft = size_t(out.size()) * 2 - size_t(used);
    };
    auto putReplacement = [&]() {
        grow(2);
        const char16_t r = kReplacement;
        std::memcpy(outPtr, &r, 2);
        outPtr += 2;
        outLeft -= 2;
        result.clean = false;
    };
    // ASCII is copied and GB18030's two-byte characters are looked up; iconv
    // takes the piece from the first byte neither can decode.
    const GbPairTable *pairs = asciiRuns && std::strcmp(charset, "GB18030") == 0 ? &GbPairTable::instance() : nullptr;
    // Bytes [from, to) through iconv. In the sets taken in pieces no
    // character goes on into the ASCII run that follows a piece, so a
    // character cut off at `to` is bad data as it would be at the end.
    auto convert = [&](std::size_t from, std::size_t to) {
        char *in = const_cast<char *>(bytes) + from;
        size_t inLeft = to - from;
        while (inLeft > 0) {
            const size_t rc = iconv(cd.get(), &in, &inLeft, &outPtr, &outLeft);
            if (rc != size_t(-1))
                break;
            if (errno == E2BIG) {
                grow(outLeft + 64);
            } else {
                // EILSEQ, or EINVAL: too few bytes left for the character
                // begun, which some decoders say even when a later byte
                // already rules it out. Either way the bytes after the
                // bad unit still decode.
                putReplacement();
                const size_t skip = std::min(invalidUnit, inLeft);
                in += skip;
                inLeft -= skip;
            }
        }
    };

    if (!asciiRuns) {
        convert(0, size);
    } else {
        const auto *p = reinterpret_cast<const unsigned char *>(bytes);
        std::size_t pos = 0;
        while (pos < size) {
            // In these sets a byte never gives more than one unit, so the
            // room left always holds what the rest can give.
            grow((size - pos) * 2);
            auto *dst = reinterpret_cast<char16_t *>(outPtr);
            std::size_t units = 0;
            const std::size_t taken =
                pairs ? pairs->decodePrefix(p + pos, size - pos, dst, &units) : (units = widenAscii(p + pos, size - pos, dst));
            outPtr += units * 2;
            outLeft -= units * 2;
            pos += taken;
            if (pos == size)
                break;
            // The piece for iconv ends after the first byte of the next long
            // ASCII run: that byte may still close a character, every later
            // one is a character of its own.
            std::size_t to = pos;
            for (;;) {
                while (to < size && p[to] >= 0x80)
                    ++to;
                const std::size_t next = asciiRunEnd(p, to, size);
                if (next == size || next - to >= kShortestCopiedRun) {
                    to = std::min(size, to + 1);
                    break;
                }
                to = next;
            }
            convert(pos, to);
            pos = to;
        }
    }
    // Ends a shift state, for the sets that have one.
    for (;;) {
        if (iconv(cd.get(), nullptr, nullptr, &outPtr, &outLeft) != size_t(-1) || errno != E2BIG)
            break;
        grow(outLeft + 64);
    }
    out.resize(qsizetype(outPtr - outBase) / 2);
    return result;
}

Result<QByteArray> CharsetConverter::encode(QStringView text, const char *charset)
{
    Iconv cd(charset, kHostUtf16);
    if (!cd.valid())
        return unknownCharset(charset);

    // The set's own question mark stands for what it cannot hold.
    QByteArray question;
    {
        Iconv q(charset, kHostUtf16);
        char16_t mark = u'?';
        char *in = reinterpret_cast<char *>(&mark);
        size_t inLeft = 2;
        char buffer[16];
        char *outPtr = buffer;
        size_t outLeft = sizeof buffer;
        if (q.valid() && iconv(q.get(), &in, &inLeft, &outPtr, &outLeft) != size_t(-1))
            question = QByteArray(buffer, outPtr - buffer);
    }

    const size_t inBytes = size_t(text.size()) * 2;
    QByteArray out;
    out.resize(qsizetype(std::max<size_t>(inBytes * 2, 64)));
    char *outBase = out.data();
    char *outPtr = outBase;
    size_t outLeft = size_t(out.size());
    char *in = reinterpret_cast<char *>(const_cast<QChar *>(text.data()));
    size_t inLeft = inBytes;

    auto grow = [&](size_t neededBytes) {
        if (outLeft >= neededBytes)
            return;
        const qsizetype used = qsizetype(outPtr - outBase);
        out.resize(out.size() + std::max<qsizetype>(out.size() / 2, qsizetype(neededBytes) + 64));
        outBase = out.data();
        outPtr = outBase + used;
        outLeft = size_t(out.size() - used);
    };

    while (inLeft > 0) {
        const size_t rc = iconv(cd.get(), &in, &inLeft, &outPtr, &outLeft);
        if (rc != size_t(-1))
            break;
        if (errno == E2BIG) {
            grow(outLeft + 64);
            continue;
        }
        grow(size_t(question.size()));
        std::memcpy(outPtr, question.constData(), size_t(question.size()));
        outPtr += question.size();
        outLeft -= size_t(question.size());
        if (errno == EILSEQ) {
            // A surrogate pair the set cannot hold is one character.
            char16_t unit = 0;
            std::memcpy(&unit, in, 2);
            size_t skip = 2;
            if (QChar::isHighSurrogate(unit) && inLeft >= 4) {
                char16_t next = 0;
                std::memcpy(&next, in + 2, 2);
                if (QChar::isLowSurrogate(next))
                    skip = 4;
            }
            skip = std::min(skip, inLeft);
            in += skip;
            inLeft -= skip;
        } else {
            inLeft = 0;
        }
    }
    for (;;) {
        if (iconv(cd.get(), nullptr, nullptr, &outPtr, &outLeft) != size_t(-1) || errno != E2BIG)
            break;
        grow(outLeft + 64);
    }
    out.resize(qsizetype(outPtr - outBase));
    return out;
}

} // namespace sorvane
