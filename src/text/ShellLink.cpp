#include "text/ShellLink.h"

#include "text/TextCodec.h"

#include <QFile>
#include <QStringDecoder>

#include <cstring>
#include <iterator>

namespace sorvane::ShellLink {
namespace {

constexpr quint32 kHeaderSize = 0x4C;
constexpr quint8 kLinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                   0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
constexpr quint32 kHasLinkTargetIdList = 0x1;
constexpr quint32 kHasLinkInfo = 0x2;
constexpr quint32 kIsUnicode = 0x80;
constexpr quint32 kLinkInfoHeaderSize = 0x24;
constexpr quint32 kVolumeIdAndLocalBasePath = 0x1;
constexpr quint32 kDriveFixed = 3;
constexpr int kMaxString = 0xFFFF;

// The string data of a link, in the order the form keeps them, each with
// the flag that says it is present.
struct StringField {
    quint32 flag;
    QString Link::*field;
};
QString Link::*const kNoField = nullptr;
const StringField kStringFields[] = {
    {0x04, &Link::description},
    {0x08, kNoField}, // relative path: read past, never written
    {0x10, &Link::workingDirectory},
    {0x20, &Link::arguments},
    {0x40, &Link::iconPath},
};

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

void putU16(QByteArray &out, quint32 v)
{
    out.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF));
}

void putU32(QByteArray &out, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        out.append(char((v >> (8 * i)) & 0xFF));
}

void putUtf16(QByteArray &out, const QString &text)
{
    for (QChar c : text)
        putU16(out, c.unicode());
}

QByteArray linkInfo(const QString &target)
{
    const QByteArray ansi = target.toUtf8();
    QByteArray volume;
    putU32(volume, 0x11);         // VolumeIDSize
    putU32(volume, kDriveFixed);  // DriveType
    putU32(volume, 0);            // DriveSerialNumber
    putU32(volume, 0x10);         // VolumeLabelOffset
    volume.append('\0');          // empty label

    const quint32 volumeOffset = kLinkInfoHeaderSize;
    const quint32 baseOffset = volumeOffset + quint32(volume.size());
    const quint32 suffixOffset = baseOffset + quint32(ansi.size()) + 1;
    const quint32 baseUnicodeOffset = suffixOffset + 1;
    const quint32 suffixUnicodeOffset = baseUnicodeOffset + 2 * quint32(target.size()) + 2;
    const quint32 size = suffixUnicodeOffset + 2;

    QByteArray info;
    putU32(info, size);
    putU32(info, kLinkInfoHeaderSize);
    putU32(info, kVolumeIdAndLocalBasePath);
    putU32(info, volumeOffset);
    putU32(info, baseOffset);
    putU32(info, 0); // no network path
    putU32(info, suffixOffset);
    putU32(info, baseUnicodeOffset);
    putU32(info, suffixUnicodeOffset);
    info.append(volume);
    info.append(ansi).append('\0');
    info.append('\0'); // empty common path suffix
    putUtf16(info, target);
    putU16(info, 0);
    putU16(info, 0);
    return info;
}

bool isLinkHeader(const Reader &r, const QByteArray &data)
{
    quint32 headerSize = 0;
    return r.u32(0, headerSize) && headerSize == kHeaderSize && data.size() >= qsizetype(kHeaderSize) &&
           memcmp(data.constData() + 4, kLinkClsid, sizeof kLinkClsid) == 0;
}

} // namespace

Result<QString> targetPath(const QByteArray &data)
{
    const Reader r(data);
    quint32 flags = 0;
    if (!isLinkHeader(r, data))
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

std::optional<Link> decode(const QByteArray &data)
{
    const Reader r(data);
    quint32 flags = 0, iconIndex = 0, show = 0;
    if (!isLinkHeader(r, data))
        return std::nullopt;
    r.u32(20, flags);
    r.u32(56, iconIndex);
    r.u32(60, show);

    qsizetype at = kHeaderSize;
    if (flags & kHasLinkTargetIdList) {
        quint32 size = 0;
        if (!r.u16(at, size))
            return std::nullopt;
        at += 2 + qsizetype(size);
    }
    Link link;
    if (flags & kHasLinkInfo) {
        quint32 size = 0;
        if (!r.u32(at, size))
            return std::nullopt;
        link.targetPath = targetPath(data).valueOr(QString());
        at += qsizetype(size);
    }
    for (const StringField &f : kStringFields) {
        if (!(flags & f.flag))
            continue;
        quint32 count = 0;
        if (!r.u16(at, count))
            return std::nullopt;
        at += 2;
        const qsizetype bytes = (flags & kIsUnicode) ? 2 * qsizetype(count) : qsizetype(count);
        if (at + bytes > data.size())
            return std::nullopt;
        QString text;
        if (flags & kIsUnicode) {
            for (qsizetype k = 0; k < bytes; k += 2)
                text += QChar(char16_t(quint8(data[at + k]) | quint8(data[at + k + 1]) << 8));
        } else {
            QStringDecoder utf8(QStringDecoder::Utf8);
            text = utf8.decode(data.mid(at, bytes));
        }
        if (f.field)
            link.*(f.field) = text;
        at += bytes;
    }
    link.iconIndex = qint32(iconIndex);
    link.showCommand = qint32(show);
    return link;
}

Result<QByteArray> encode(const Link &link)
{
    quint32 flags = kIsUnicode;
    if (!link.targetPath.isEmpty())
        flags |= kHasLinkInfo;
    QByteArray strings;
    for (const StringField &f : kStringFields) {
        if (!f.field)
            continue;
        const QString &text = link.*(f.field);
        if (text.isEmpty())
            continue;
        if (text.size() > kMaxString)
            return scriptError(ErrorNumber::InvalidProcedureCall);
        flags |= f.flag;
        putU16(strings, quint32(text.size()));
        putUtf16(strings, text);
    }

    QByteArray out;
    putU32(out, kHeaderSize);
    out.append(reinterpret_cast<const char *>(kLinkClsid), sizeof kLinkClsid);
    putU32(out, flags);
    putU32(out, 0);                      // file attributes
    out.append(QByteArray(24, '\0'));    // creation, access and write times
    putU32(out, 0);                      // file size
    putU32(out, quint32(link.iconIndex));
    putU32(out, quint32(link.showCommand));
    putU16(out, 0);                      // hot key
    out.append(QByteArray(10, '\0'));    // reserved
    if (flags & kHasLinkInfo)
        out.append(linkInfo(link.targetPath));
    out.append(strings);
    putU32(out, 0); // terminal block
    return out;
}

} // namespace sorvane::ShellLink
