#include "subtitles/ShellLink.h"

#include "text/TextCodec.h"

#include <QFile>
#include <QStringDecoder>

namespace sorvane::ShellLink {
namespace {

constexpr quint32 kHeaderSize = 0x4C;
constexpr quint8 kLinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                   0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
constexpr quint32 kHasLinkTargetIdList = 0x1;
constexpr quint32 kHasLinkInfo = 0x2;
constexpr quint32 kVolumeIdAndLocalBasePath = 0x1;
// A link is small; anything larger is not one.
constexpr qsizetype kMaxLinkSize = 1 << 20;

ScriptError damaged()
{
    return scriptError(ErrorNumber::InvalidProcedureCall, QStringLiteral("Not a shell link"));
}

class Reader {
public:
    explicit Reader(const QByteArray &data) : m_data(data) {}

    bool u16(qsizetype at, quint32 &value) const
    {
        if (at < 0 || at + 2 > m_data.size())
            return false;
        value = quint8(m_data[at]) | quint32(quint8(m_data[at + 1])) << 8;
        return true;
    }
    bool u32(qsizetype at, quint32 &value) const
    {
        if (at < 0 || at + 4 > m_data.size())
            return false;
        value = 0;
        for (int i = 3; i >= 0; --i)
            value = value << 8 | quint8(m_data[at + i]);
        return true;
    }
    // A NUL-terminated string of bytes inside [at, limit).
    bool ansi(qsizetype at, qsizetype limit, QByteArray &out) const
    {
        if (at < 0 || at >= limit)
            return false;
        const qsizetype end = m_data.indexOf('\0', at);
        if (end < 0 || end >= limit)
            return false;
        out = m_data.mid(at, end - at);
        return true;
    }
    // A NUL-terminated UTF-16LE string inside [at, limit).
    bool unicode(qsizetype at, qsizetype limit, QString &out) const
    {
        if (at < 0 || at >= limit)
            return false;
        QString text;
        for (qsizetype i = at; i + 1 < limit; i += 2) {
            const char16_t c = char16_t(quint8(m_data[i]) | quint8(m_data[i + 1]) << 8);
            if (c == 0) {
                out = text;
                return true;
            }
            text += QChar(c);
        }
        return false;
    }

private:
    const QByteArray &m_data;
};

// ANSI strings of a link made on a Chinese system are in its legacy code
// page; valid UTF-8 is taken as such.
QString fromAnsi(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder gbk("GB18030");
    return gbk.isValid() ? QString(gbk.decode(bytes)) : QString::fromLatin1(bytes);
}

} // namespace

Result<QString> targetPath(const QByteArray &data)
{
    const Reader r(data);
    quint32 headerSize = 0, flags = 0;
    if (!r.u32(0, headerSize) || headerSize != kHeaderSize || data.size() < qsizetype(kHeaderSize))
        return damaged();
    if (memcmp(data.constData() + 4, kLinkClsid, sizeof kLinkClsid) != 0)
        return damaged();
    r.u32(20, flags);

    qsizetype at = kHeaderSize;
    if (flags & kHasLinkTargetIdList) {
        quint32 idListSize = 0;
        if (!r.u16(at, idListSize))
            return damaged();
        at += 2 + qsizetype(idListSize);
    }
    if (!(flags & kHasLinkInfo))
        return damaged();

    quint32 infoSize = 0, infoHeaderSize = 0, infoFlags = 0, baseOffset = 0, suffixOffset = 0;
    if (!r.u32(at, infoSize) || !r.u32(at + 4, infoHeaderSize) || !r.u32(at + 8, infoFlags) ||
        !r.u32(at + 16, baseOffset) || !r.u32(at + 24, suffixOffset))
        return damaged();
    if (infoSize < 0x1C || infoHeaderSize < 0x1C || infoHeaderSize > infoSize || at + qsizetype(infoSize) > data.size())
        return damaged();
    if (!(infoFlags & kVolumeIdAndLocalBasePath))
        return damaged();
    const qsizetype limit = at + qsizetype(infoSize);

    if (infoHeaderSize >= 0x24) {
        quint32 baseUnicode = 0, suffixUnicode = 0;
        QString base, suffix;
        if (r.u32(at + 28, baseUnicode) && r.u32(at + 32, suffixUnicode) && baseUnicode != 0 &&
            r.unicode(at + baseUnicode, limit, base)) {
            if (suffixUnicode != 0)
                r.unicode(at + suffixUnicode, limit, suffix);
            if (!base.isEmpty())
                return base + suffix;
        }
    }
    QByteArray base, suffix;
    if (!r.ansi(at + baseOffset, limit, base) || base.isEmpty())
        return damaged();
    if (suffixOffset != 0)
        r.ansi(at + suffixOffset, limit, suffix);
    return fromAnsi(base) + fromAnsi(suffix);
}

Result<QString> readTarget(const QString &fileName)
{
    // A pipe or a device named .lnk is refused without waiting on it.
    const Result<QByteArray> bytes = TextCodec::readRegularFile(fileName, kMaxLinkSize);
    if (!bytes)
        return damaged();
    return targetPath(*bytes);
}

} // namespace sorvane::ShellLink
