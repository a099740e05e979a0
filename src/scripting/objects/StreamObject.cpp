#include "scripting/objects/StreamObject.h"

#include "text/TextCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <iterator>

namespace sorvane {
namespace {

constexpr qint32 kReadAll = -1;
constexpr qint32 kReadLine = -2;
constexpr qint32 kCr = 13;
constexpr qint32 kLf = 10;
constexpr qint32 kCrLf = -1;

// Character sets the stream itself gives a byte-order mark; the codec
// encodes and decodes their text without one.
struct MarkedCharset {
    const char *name;
    const char *codecName;
    const char *mark;
    int markSize;
};

constexpr MarkedCharset kMarkedCharsets[] = {
    {"Unicode", "UTF-16LE", "\xFF\xFE", 2},
    {"UTF-16", "UTF-16LE", "\xFF\xFE", 2},
    {"unicodeFFFE", "UTF-16BE", "\xFE\xFF", 2},
    {"UTF-16BE", "UTF-16BE", "\xFE\xFF", 2},
    {"UTF-8", "utf-8", "\xEF\xBB\xBF", 3},
};

// Access modes the stream accepts: unknown, read, write, read/write, the
// share modes and recursive.
constexpr qint32 kModes[] = {0, 1, 2, 3, 4, 8, 12, 16, 0x400000};

// A number argument as a byte; 3001 for anything else.
Result<QByteArray> bytesOf(const Variant &value)
{
    QByteArray bytes;
    if (value.isString()) {
        const QString &text = value.stringValue();
        bytes.reserve(text.size());
        for (QChar c : text) {
            if (c.unicode() > 0xFF)
                return scriptError(ErrorNumber::BadArguments);
            bytes.append(char(c.unicode()));
        }
        return bytes;
    }
    if (!value.isArray() || value.arrayValue().dimensions() != 1)
        return scriptError(ErrorNumber::BadArguments);
    const QVector<Variant> &items = value.arrayValue().items;
    bytes.reserve(items.size());
    for (const Variant &item : items) {
        Result<qint32> n = item.toLong();
        if (!n || *n < 0 || *n > 0xFF)
            return scriptError(ErrorNumber::BadArguments);
        bytes.append(char(*n));
    }
    return bytes;
}

Variant arrayOf(const QByteArray &bytes)
{
    QVector<Variant> items;
    items.reserve(bytes.size());
    for (char b : bytes)
        items.append(Variant::fromInteger(qint16(quint8(b))));
    return Variant::fromList(std::move(items));
}

using S = StreamObject;

template <typename T>
Result<Variant> withLong(Arguments &a, int i, qint32 fallback, T &&f)
{
    qint32 n = TRY(a.toLong(i, fallback));
    return f(n);
}

Status letLong(const Variant &v, Status (S::*set)(qint32), S &s)
{
    qint32 n = TRY(v.toLong());
    return (s.*set)(n);
}

} // namespace

const MemberTable<StreamObject> &StreamObject::members()
{
    using M = HostMember<S>;
    static const MemberTable<S> table({
        M{"Type", MemberKind::Property, 0, 0,
          [](S &s, Arguments &) -> Result<Variant> { return Variant::fromLong(qint32(s.type())); },
          [](S &s, Arguments &, const Variant &v) { return letLong(v, &S::setType, s); }},
        M{"Mode", MemberKind::Property, 0, 0, [](S &s, Arguments &) -> Result<Variant> { return Variant::fromLong(s.mode()); },
          [](S &s, Arguments &, const Variant &v) { return letLong(v, &S::setMode, s); }},
        M{"Charset", MemberKind::Property, 0, 0, [](S &s, Arguments &) -> Result<Variant> { return Variant(s.charset()); },
          [](S &s, Arguments &, const Variant &v) -> Status {
              QString name = TRY(v.toString());
              return s.setCharset(name);
          }},
        M{"LineSeparator", MemberKind::Property, 0, 0,
          [](S &s, Arguments &) -> Result<Variant> { return Variant::fromLong(s.lineSeparator()); },
          [](S &s, Arguments &, const Variant &v) { return letLong(v, &S::setLineSeparator, s); }},
        M{"State", MemberKind::Property, 0, 0,
          [](S &s, Arguments &) -> Result<Variant> { return Variant::fromLong(s.isOpen() ? 1 : 0); }, nullptr},
        M{"Position", MemberKind::Property, 0, 0, [](S &s, Arguments &) { return wrap(s.position()); },
          [](S &s, Arguments &, const Variant &v) { return letLong(v, &S::setPosition, s); }},
        M{"Size", MemberKind::Property, 0, 0, [](S &s, Arguments &) { return wrap(s.size()); }, nullptr},
        M{"EOS", MemberKind::Property, 0, 0, [](S &s, Arguments &) { return wrap(s.eos()); }, nullptr},
        M{"Open", MemberKind::Method, 0, 5,
          [](S &s, Arguments &a) -> Result<Variant> {
              // Opening on a source (a URL or record) is not offered.
              if (!a.missing(0))
                  return scriptError(ErrorNumber::BadArguments);
              return done(s.open());
          },
          nullptr},
        M{"Close", MemberKind::Method, 0, 0, [](S &s, Arguments &) { return done(s.close()); }, nullptr},
        M{"Flush", MemberKind::Method, 0, 0, [](S &s, Arguments &) { return done(s.flush()); }, nullptr},
        M{"SetEOS", MemberKind::Method, 0, 0, [](S &s, Arguments &) { return done(s.setEos()); }, nullptr},
        M{"LoadFromFile", MemberKind::Method, 1, 1,
          [](S &s, Arguments &a) -> Result<Variant> {
              QString path = TRY(a.text(0));
              return done(s.loadFromFile(path));
          },
          nullptr},
        M{"SaveToFile", MemberKind::Method, 1, 2,
          [](S &s, Arguments &a) -> Result<Variant> {
              QString path = TRY(a.text(0));
              return withLong(a, 1, 1, [&](qint32 options) { return done(s.saveToFile(path, options)); });
          },
          nullptr},
        M{"ReadText", MemberKind::Method, 0, 1,
          [](S &s, Arguments &a) { return withLong(a, 0, kReadAll, [&](qint32 n) { return wrap(s.readText(n)); }); },
          nullptr},
        M{"WriteText", MemberKind::Method, 1, 2,
          [](S &s, Arguments &a) -> Result<Variant> {
              QString text = TRY(a.text(0));
              return withLong(a, 1, 0, [&](qint32 option) { return done(s.writeText(text, option)); });
          },
          nullptr},
        M{"SkipLine", MemberKind::Method, 0, 0, [](S &s, Arguments &) { return done(s.skipLine()); }, nullptr},
        M{"Read", MemberKind::Method, 0, 1,
          [](S &s, Arguments &a) {
              return withLong(a, 0, kReadAll, [&](qint32 n) -> Result<Variant> {
                  QByteArray bytes = TRY(s.read(n));
                  if (bytes.isEmpty() && n != 0)
                      return Variant::null();
                  return arrayOf(bytes);
              });
          },
          nullptr},
        M{"Write", MemberKind::Method, 1, 1,
          [](S &s, Arguments &a) -> Result<Variant> {
              QByteArray bytes = TRY(bytesOf(a[0]));
              return done(s.write(bytes));
          },
          nullptr},
        M{"CopyTo", MemberKind::Method, 1, 2,
          [](S &s, Arguments &a) -> Result<Variant> {
              std::shared_ptr<DispatchObject> target = TRY(a.object(0));
              auto *stream = dynamic_cast<StreamObject *>(target.get());
              if (!stream)
                  return scriptError(ErrorNumber::BadArguments);
              return withLong(a, 1, kReadAll, [&](qint32 n) { return done(s.copyTo(*stream, n)); });
          },
          nullptr},
    });
    return table;
}

StreamObject::Encoding StreamObject::encoding() const
{
    for (const MarkedCharset &c : kMarkedCharsets)
        if (m_charset.compare(QLatin1String(c.name), Qt::CaseInsensitive) == 0)
            return {QString::fromLatin1(c.codecName), QByteArray(c.mark, c.markSize)};
    return {m_charset, QByteArray()};
}

Status StreamObject::usable() const
{
    if (!m_open)
        return scriptError(ErrorNumber::ObjectClosed);
    return {};
}

Status StreamObject::textUsable() const
{
    if (Status s = usable(); !s)
        return s;
    if (m_type != Type::Text)
        return scriptError(ErrorNumber::NotAllowedInContext);
    if (!m_codec)
        return scriptError(ErrorNumber::BadArguments);
    return {};
}

Status StreamObject::binaryUsable() const
{
    if (Status s = usable(); !s)
        return s;
    if (m_type != Type::Binary)
        return scriptError(ErrorNumber::NotAllowedInContext);
    return {};
}

QString StreamObject::separatorText() const
{
    switch (m_lineSeparator) {
    case kCr:
        return QStringLiteral("\r");
    case kLf:
        return QStringLiteral("\n");
    default:
        return QStringLiteral("\r\n");
    }
}

void StreamObject::put(const QByteArray &bytes)
{
    const qsizetype end = m_position + bytes.size();
    if (end > m_data.size())
        m_data.resize(end);
    std::copy(bytes.cbegin(), bytes.cend(), m_data.begin() + m_position);
    m_position = end;
}

Status StreamObject::open()
{
    if (m_open)
        return scriptError(ErrorNumber::ObjectOpen);
    m_open = true;
    m_data.clear();
    m_position = 0;
    return {};
}

Status StreamObject::close()
{
    if (Status s = usable(); !s)
        return s;
    m_open = false;
    m_data.clear();
    m_position = 0;
    return {};
}

Status StreamObject::setType(qint32 type)
{
    if (type != qint32(Type::Binary) && type != qint32(Type::Text))
        return scriptError(ErrorNumber::BadArguments);
    if (m_open && m_position != 0)
        return scriptError(ErrorNumber::NotAllowedInContext);
    m_type = Type(type);
    return {};
}

Status StreamObject::setMode(qint32 mode)
{
    if (m_open)
        return scriptError(ErrorNumber::ObjectOpen);
    if (std::find(std::begin(kModes), std::end(kModes), mode) == std::end(kModes))
        return scriptError(ErrorNumber::BadArguments);
    m_mode = mode;
    return {};
}

Status StreamObject::setCharset(const QString &name)
{
    const QString previous = m_charset;
    m_charset = name;
    // A name the codec cannot encode with is refused when it is set, not at
    // the first read or write.
    if (name.isEmpty() || !m_codec || !m_codec->encode(QStringLiteral("a"), encoding().codecName)) {
        m_charset = previous;
        return scriptError(ErrorNumber::BadArguments);
    }
    return {};
}

Status StreamObject::setLineSeparator(qint32 separator)
{
    if (separator != kCr && separator != kLf && separator != kCrLf)
        return scriptError(ErrorNumber::BadArguments);
    m_lineSeparator = separator;
    return {};
}

Result<qint32> StreamObject::position() const
{
    TRY(usable());
    return qint32(m_position);
}

Status StreamObject::setPosition(qint32 position)
{
    if (Status s = usable(); !s)
        return s;
    if (position < 0 || position > m_data.size())
        return scriptError(ErrorNumber::BadArguments);
    m_position = position;
    return {};
}

Result<qint32> StreamObject::size() const
{
    TRY(usable());
    return qint32(m_data.size());
}

Result<bool> StreamObject::eos() const
{
    TRY(usable());
    return m_position >= m_data.size();
}

Status StreamObject::setEos()
{
    if (Status s = usable(); !s)
        return s;
    m_data.truncate(m_position);
    return {};
}

Status StreamObject::flush() const
{
    return usable();
}

Status StreamObject::loadFromFile(const QString &path)
{
    if (Status s = usable(); !s)
        return s;
    QFile file(path);
    if (path.isEmpty() || QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly))
        return scriptError(ErrorNumber::FileCouldNotBeOpened);
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return scriptError(ErrorNumber::FileCouldNotBeOpened);
    m_data = std::move(data);
    m_position = 0;
    return {};
}

Status StreamObject::saveToFile(const QString &path, qint32 options) const
{
    if (Status s = usable(); !s)
        return s;
    if (options != 1 && options != 2)
        return scriptError(ErrorNumber::BadArguments);
    const QFileInfo info(path);
    if (path.isEmpty() || info.isDir() || (options == 1 && (info.exists() || info.isSymLink())))
        return scriptError(ErrorNumber::WriteToFileFailed);
    // Written beside the target and renamed over it: a failed save leaves an
    // existing file as it was.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return scriptError(ErrorNumber::WriteToFileFailed);
    if (file.write(m_data) != m_data.size()) {
        file.cancelWriting();
        return scriptError(ErrorNumber::WriteToFileFailed);
    }
    if (!file.commit())
        return scriptError(ErrorNumber::WriteToFileFailed);
    return {};
}

Result<QString> StreamObject::readText(qint32 count)
{
    TRY(textUsable());
    if (count < kReadLine)
        return scriptError(ErrorNumber::BadArguments);
    const Encoding enc = encoding();
    qsizetype from = m_position;
    if (from == 0 && !enc.mark.isEmpty() && m_data.startsWith(enc.mark))
        from = enc.mark.size();

    const QByteArray rest = QByteArray::fromRawData(m_data.constData() + from, m_data.size() - from);
    QByteArray slice = rest;
    qsizetype skipAfter = 0; // the separator's bytes after a line
    if (count == kReadLine) {
        QByteArray separator = TRY(m_codec->encode(separatorText(), enc.codecName));
        // Separators are ASCII, so they never stand inside a character of
        // the sets with single-byte units; UTF-16 units are searched aligned.
        const qsizetype step = enc.codecName.startsWith(QLatin1String("UTF-16"), Qt::CaseInsensitive) ? 2 : 1;
        qsizetype at = rest.indexOf(separator);
        while (at >= 0 && at % step != 0)
            at = rest.indexOf(separator, at + 1);
        if (at >= 0) {
            slice = rest.left(at);
            skipAfter = separator.size();
        }
    } else if (count >= 0) {
        // Four bytes hold any character of the supported sets.
        slice = rest.left(qsizetype(count) * 4 + 4);
    }
    QString text = TRY(m_codec->decode(QByteArray(slice.constData(), slice.size()), enc.codecName));
    if (count >= 0 && text.size() > count) {
        text.truncate(count);
        QByteArray used = TRY(m_codec->encode(text, enc.codecName));
        m_position = from + used.size();
    } else {
        m_position = from + slice.size() + skipAfter;
    }
    return text;
}

Status StreamObject::skipLine()
{
    QString line = TRY(readText(kReadLine));
    return {};
}

Status StreamObject::writeText(const QString &text, qint32 option)
{
    if (Status s = textUsable(); !s)
        return s;
    if (option != 0 && option != 1)
        return scriptError(ErrorNumber::BadArguments);
    const Encoding enc = encoding();
    QByteArray bytes = TRY(m_codec->encode(option == 1 ? text + separatorText() : text, enc.codecName));
    if (m_position == 0)
        put(enc.mark);
    put(bytes);
    return {};
}

Result<QByteArray> StreamObject::read(qint32 count)
{
    TRY(binaryUsable());
    if (count < kReadAll)
        return scriptError(ErrorNumber::BadArguments);
    const QByteArray bytes = count == kReadAll ? m_data.mid(m_position) : m_data.mid(m_position, count);
    m_position += bytes.size();
    return bytes;
}

Status StreamObject::write(const QByteArray &bytes)
{
    if (Status s = binaryUsable(); !s)
        return s;
    put(bytes);
    return {};
}

Status StreamObject::copyTo(StreamObject &target, qint32 count)
{
    if (Status s = usable(); !s)
        return s;
    if (Status s = target.usable(); !s)
        return s;
    if (count < kReadAll)
        return scriptError(ErrorNumber::BadArguments);
    const QByteArray bytes = count == kReadAll ? m_data.mid(m_position) : m_data.mid(m_position, count);
    m_position += bytes.size();
    target.put(bytes);
    return {};
}

} // namespace sorvane
