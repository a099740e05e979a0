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

// Where the piece for iconv that starts at `from` ends: after the first
// byte of the next long ASCII run. That byte may still close a character;
// every later one is a character of its own.
std::size_t iconvPieceEnd(const unsigned char *p, std::size_t from, std::size_t size)
{
    std::size_t to = from;
    for (;;) {
        while (to < size && p[to] >= 0x80)
            ++to;
        const std::size_t next = asciiRunEnd(p, to, size);
        if (next == size || next - to >= kShortestCopiedRun)
            return std::min(size, to + 1);
        to = next;
    }
}

// The decoded text while it is written: UTF-16 units in memory order, in a
// buffer that grows when iconv or a copied run needs more room.
class Utf16Output {
public:
    // One unit per input byte holds every set in common use; others grow.
    explicit Utf16Output(std::size_t inputBytes)
    {
        m_text.resize(qsizetype(std::max<std::size_t>(inputBytes, 16)));
        m_base = reinterpret_cast<char *>(m_text.data());
        m_ptr = m_base;
        m_left = size_t(m_text.size()) * 2;
    }

    // Where iconv writes, and how many bytes it may.
    char **ptr() { return &m_ptr; }
    size_t *left() { return &m_left; }
    size_t bytesLeft() const { return m_left; }

    void reserve(size_t neededBytes)
    {
        if (m_left >= neededBytes)
            return;
        const qsizetype used = qsizetype(m_ptr - m_base);
        m_text.resize(m_text.size() + std::max<qsizetype>(m_text.size() / 2, qsizetype(neededBytes) + 64));
        m_base = reinterpret_cast<char *>(m_text.data());
        m_ptr = m_base + used;
        m_left = size_t(m_text.size()) * 2 - size_t(used);
    }

    // Units written straight into the buffer, then counted with advance().
    char16_t *next() { return reinterpret_cast<char16_t *>(m_ptr); }
    void advance(std::size_t units)
    {
        m_ptr += units * 2;
        m_left -= units * 2;
    }

    void putReplacement()
    {
        reserve(2);
        const char16_t r = kReplacement;
        std::memcpy(m_ptr, &r, 2);
        advance(1);
    }

    QString take()
    {
        m_text.resize(qsizetype(m_ptr - m_base) / 2);
        return std::move(m_text);
    }

private:
    QString m_text;
    char *m_base = nullptr;
    char *m_ptr = nullptr;
    size_t m_left = 0;
};

// One decoding: iconv for the bytes it must take, the quicker copies for
// the rest, and a U+FFFD for each bad unit.
class Decoding {
public:
    Decoding(iconv_t cd, const char *bytes, std::size_t size, std::size_t invalidUnit)
        : m_cd(cd), m_bytes(bytes), m_size(size), m_invalidUnit(invalidUnit), m_out(size)
    {
    }

    // Bytes [from, to) through iconv. In the sets taken in pieces no
    // character goes on into the ASCII run that follows a piece, so a
    // character cut off at `to` is bad data as it would be at the end.
    void convert(std::size_t from, std::size_t to)
    {
        char *in = const_cast<char *>(m_bytes) + from;
        size_t inLeft = to - from;
        while (inLeft > 0) {
            const size_t rc = iconv(m_cd, &in, &inLeft, m_out.ptr(), m_out.left());
            if (rc != size_t(-1))
                break;
            if (errno == E2BIG) {
                m_out.reserve(m_out.bytesLeft() + 64);
            } else {
                // EILSEQ, or EINVAL: too few bytes left for the character
                // begun, which some decoders say even when a later byte
                // already rules it out. Either way the bytes after the
                // bad unit still decode.
                m_out.putReplacement();
                m_clean = false;
                const size_t skip = std::min(m_invalidUnit, inLeft);
                in += skip;
                inLeft -= skip;
            }
        }
    }

    // ASCII is copied and GB18030's two-byte characters are looked up
    // (`pairs`, when the set is GB18030); iconv takes the piece from the
    // first byte neither can decode.
    void convertInPieces(const GbPairTable *pairs)
    {
        const auto *p = reinterpret_cast<const unsigned char *>(m_bytes);
        std::size_t pos = 0;
        while (pos < m_size) {
            // In these sets a byte never gives more than one unit, so the
            // room left always holds what the rest can give.
            m_out.reserve((m_size - pos) * 2);
            char16_t *dst = m_out.next();
            std::size_t units = 0;
            const std::size_t taken = pairs ? pairs->decodePrefix(p + pos, m_size - pos, dst, &units)
                                            : (units = widenAscii(p + pos, m_size - pos, dst));
            m_out.advance(units);
            pos += taken;
            if (pos == m_size)
                break;
            const std::size_t to = iconvPieceEnd(p, pos, m_size);
            convert(pos, to);
            pos = to;
        }
    }

    CharsetConverter::Decoded finish()
    {
        // Ends a shift state, for the sets that have one.
        for (;;) {
            if (iconv(m_cd, nullptr, nullptr, m_out.ptr(), m_out.left()) != size_t(-1) || errno != E2BIG)
                break;
            m_out.reserve(m_out.bytesLeft() + 64);
        }
        return {m_out.take(), m_clean};
    }

private:
    iconv_t m_cd;
    const char *m_bytes;
    std::size_t m_size;
    std::size_t m_invalidUnit;
    Utf16Output m_out;
    bool m_clean = true;
};

} // namespace

Result<CharsetConverter::Decoded> CharsetConverter::decode(const char *bytes, std::size_t size, const char *charset,
                                                           std::size_t invalidUnit, bool asciiRuns)
{
    Iconv cd(kHostUtf16, charset);
    if (!cd.valid())
        return unknownCharset(charset);
    Decoding decoding(cd.get(), bytes, size, std::max<std::size_t>(invalidUnit, 1));
    if (asciiRuns)
        decoding.convertInPieces(std::strcmp(charset, "GB18030") == 0 ? &GbPairTable::instance() : nullptr);
    else
        decoding.convert(0, size);
    return decoding.finish();
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
