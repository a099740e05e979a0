#include "scripting/objects/ShortcutObject.h"

#include "subtitles/ShellLink.h"

#include <QFile>
#include <QFileInfo>
#include <QDir>
#include <QSaveFile>
#include <QStringDecoder>

#include <iterator>

namespace sorvane {
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
constexpr qsizetype kMaxLinkSize = 1 << 20;

// The string data of a link, in the order the form keeps them, each with
// the flag that says it is present.
struct StringField {
    quint32 flag;
    QString ShortcutObject::*field;
};
QString ShortcutObject::*const kNoField = nullptr;
const StringField kStringFields[] = {
    {0x04, &ShortcutObject::description},
    {0x08, kNoField}, // relative path: read past, never written
    {0x10, &ShortcutObject::workingDirectory},
    {0x20, &ShortcutObject::arguments},
    {0x40, &ShortcutObject::iconLocation},
};

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

bool getU16(const QByteArray &d, qsizetype at, quint32 &v)
{
    if (at < 0 || at + 2 > d.size())
        return false;
    v = quint8(d[at]) | quint32(quint8(d[at + 1])) << 8;
    return true;
}

bool getU32(const QByteArray &d, qsizetype at, quint32 &v)
{
    quint32 lo = 0, hi = 0;
    if (!getU16(d, at, lo) || !getU16(d, at + 2, hi))
        return false;
    v = lo | hi << 16;
    return true;
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

// "path,index" into its parts; a text without a comma is all path.
void splitIcon(const QString &location, QString &path, qint32 &index)
{
    const qsizetype comma = location.lastIndexOf(QLatin1Char(','));
    bool ok = false;
    const qint32 n = comma < 0 ? 0 : location.mid(comma + 1).trimmed().toInt(&ok);
    path = comma >= 0 && ok ? location.left(comma) : location;
    index = ok ? n : 0;
}

using Sc = ShortcutObject;

template <QString Sc::*Field>
HostMember<Sc> textMember(const char *name)
{
    return {name, MemberKind::Property, 0, 0, [](Sc &s, Arguments &) -> Result<Variant> { return Variant(s.*Field); },
            [](Sc &s, Arguments &, const Variant &v) -> Status {
                QString text = TRY(v.toString());
                s.*Field = text;
                return {};
            }};
}

} // namespace

ShortcutObject::ShortcutObject(QString name) : fullName(std::move(name))
{
    QFile file(fullName);
    if (file.open(QIODevice::ReadOnly) && file.size() <= kMaxLinkSize)
        decode(file.readAll());
}

const MemberTable<ShortcutObject> &ShortcutObject::members()
{
    using M = HostMember<Sc>;
    static const MemberTable<Sc> table(
        {
            M{"FullName", MemberKind::Property, 0, 0,
              [](Sc &s, Arguments &) -> Result<Variant> { return Variant(s.fullName); }, nullptr},
            textMember<&Sc::targetPath>("TargetPath"),
            textMember<&Sc::arguments>("Arguments"),
            textMember<&Sc::workingDirectory>("WorkingDirectory"),
            textMember<&Sc::description>("Description"),
            textMember<&Sc::iconLocation>("IconLocation"),
            M{"WindowStyle", MemberKind::Property, 0, 0,
              [](Sc &s, Arguments &) -> Result<Variant> { return Variant::fromLong(s.windowStyle); },
              [](Sc &s, Arguments &, const Variant &v) -> Status {
                  qint32 style = TRY(v.toLong());
                  s.windowStyle = style;
                  return {};
              }},
            M{"Save", MemberKind::Method, 0, 0,
              [](Sc &s, Arguments &) -> Result<Variant> {
                  TRY(s.save());
                  return Variant();
              },
              nullptr},
        },
        "FullName");
    return table;
}

Result<QByteArray> ShortcutObject::encode() const
{
    QString iconPath;
    qint32 iconIndex = 0;
    splitIcon(iconLocation, iconPath, iconIndex);

    quint32 flags = kIsUnicode;
    if (!targetPath.isEmpty())
        flags |= kHasLinkInfo;
    QByteArray strings;
    for (const StringField &f : kStringFields) {
        if (!f.field)
            continue;
        const QString &text = f.field == &Sc::iconLocation ? iconPath : this->*(f.field);
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
    putU32(out, quint32(iconIndex));
    putU32(out, quint32(windowStyle));
    putU16(out, 0);                      // hot key
    out.append(QByteArray(10, '\0'));    // reserved
    if (flags & kHasLinkInfo)
        out.append(linkInfo(targetPath));
    out.append(strings);
    putU32(out, 0); // terminal block
    return out;
}

bool ShortcutObject::decode(const QByteArray &data)
{
    quint32 headerSize = 0, flags = 0, iconIndex = 0, show = 0;
    if (!getU32(data, 0, headerSize) || headerSize != kHeaderSize || data.size() < qsizetype(kHeaderSize) ||
        memcmp(data.constData() + 4, kLinkClsid, sizeof kLinkClsid) != 0)
        return false;
    getU32(data, 20, flags);
    getU32(data, 56, iconIndex);
    getU32(data, 60, show);

    qsizetype at = kHeaderSize;
    if (flags & kHasLinkTargetIdList) {
        quint32 size = 0;
        if (!getU16(data, at, size))
            return false;
        at += 2 + qsizetype(size);
    }
    QString target;
    if (flags & kHasLinkInfo) {
        quint32 size = 0;
        if (!getU32(data, at, size))
            return false;
        target = ShellLink::targetPath(data).valueOr(QString());
        at += qsizetype(size);
    }
    QString fields[std::size(kStringFields)];
    for (size_t i = 0; i < std::size(kStringFields); ++i) {
        if (!(flags & kStringFields[i].flag))
            continue;
        quint32 count = 0;
        if (!getU16(data, at, count))
            return false;
        at += 2;
        const qsizetype bytes = (flags & kIsUnicode) ? 2 * qsizetype(count) : qsizetype(count);
        if (at + bytes > data.size())
            return false;
        if (flags & kIsUnicode) {
            for (qsizetype k = 0; k < bytes; k += 2)
                fields[i] += QChar(char16_t(quint8(data[at + k]) | quint8(data[at + k + 1]) << 8));
        } else {
            QStringDecoder utf8(QStringDecoder::Utf8);
            fields[i] = utf8.decode(data.mid(at, bytes));
        }
        at += bytes;
    }
    targetPath = target;
    description = fields[0];
    workingDirectory = fields[2];
    arguments = fields[3];
    iconLocation = fields[4] + QLatin1Char(',') + QString::number(qint32(iconIndex));
    windowStyle = qint32(show);
    return true;
}

Status ShortcutObject::save() const
{
    QByteArray bytes = TRY(encode());
    if (!QFileInfo(fullName).absoluteDir().exists())
        return scriptError(ErrorNumber::PathNotFound);
    QSaveFile file(fullName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return scriptError(ErrorNumber::PermissionDenied);
    return {};
}

} // namespace sorvane
