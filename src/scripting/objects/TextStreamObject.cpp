#include "scripting/objects/TextStreamObject.h"

#include "text/CharsetConverter.h"
#include "text/TextCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

namespace sorvane {
namespace {

// Why a write failed, as scripts know it: 61 "Disk full", 70 "Permission
// denied", else 57 with the system's reason. `error` is the system's error
// seen right after the failing call: a write the disk took only in part
// leaves none in the file's own error, which then reads "Unknown error".
ScriptError writeFailure(QFileDevice &file, int error)
{
    if (error == 0) {
        // Whatever is still buffered is tried once more, to meet the reason.
        errno = 0;
        file.flush();
        error = errno;
    }
    const ErrorNumber number = error != 0 ? TextCodec::writeErrorNumber(error) : ErrorNumber::PathFileAccessError;
    if (number != ErrorNumber::PathFileAccessError)
        return scriptError(number);
    return scriptError(ErrorNumber::DeviceIoError, error != 0 ? QString::fromLocal8Bit(std::strerror(error)) : file.errorString());
}

const QString kLineEnd = QStringLiteral("\r\n");

// Why a file could not be opened, in the platform's terms.
ScriptError openFailure(const QString &path)
{
    const QFileInfo info(path);
    if (!info.absoluteDir().exists())
        return scriptError(ErrorNumber::PathNotFound);
    if (!info.exists() && !info.isSymLink())
        return scriptError(ErrorNumber::FileNotFound);
    return scriptError(ErrorNumber::PermissionDenied);
}

QString decodeText(const QByteArray &bytes, bool unicode)
{
    if (unicode) {
        const qsizetype skip = bytes.startsWith("\xFF\xFE") ? 2 : 0;
        Result<CharsetConverter::Decoded> text =
            CharsetConverter::decode(bytes.constData() + skip, size_t(bytes.size() - skip), "UTF-16LE", 2);
        return text ? text->text : QString();
    }
    const qsizetype skip = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    Result<CharsetConverter::Decoded> utf8 =
        CharsetConverter::decode(bytes.constData() + skip, size_t(bytes.size() - skip), "UTF-8", 1, true);
    if (utf8 && utf8->clean)
        return utf8->text;
    Result<CharsetConverter::Decoded> gb =
        CharsetConverter::decode(bytes.constData(), size_t(bytes.size()), "GB18030", 1, true);
    return gb ? gb->text : QString();
}

Result<QString> textArg(Arguments &a, int i)
{
    return a.has(i) ? a.text(i) : Result<QString>(QString());
}

} // namespace

Result<std::shared_ptr<TextStreamObject>> TextStreamObject::open(const QString &path, IoMode mode, bool create,
                                                                 bool unicode)
{
    std::shared_ptr<TextStreamObject> stream(new TextStreamObject);
    stream->m_mode = mode;
    stream->m_unicode = unicode;
    const QFileInfo info(path);
    if (path.isEmpty())
        return scriptError(ErrorNumber::InvalidProcedureCall);
    if (info.isDir())
        return scriptError(ErrorNumber::PermissionDenied);
    const bool exists = info.exists();
    if (!exists && !create)
        return openFailure(path);

    if (mode == IoMode::Reading) {
        QFile file(path);
        if (!exists) {
            if (!file.open(QIODevice::WriteOnly))
                return openFailure(path);
            return stream;
        }
        // A pipe or a device is refused without waiting on it.
        Result<QByteArray> bytes = TextCodec::readRegularFile(path, TextCodec::kReadLimit);
        if (!bytes)
            return bytes.error().number == 7 ? bytes.error() : openFailure(path);
        stream->m_text = decodeText(*bytes, unicode);
        return stream;
    }

    auto file = std::make_unique<QFile>(path);
    const QIODevice::OpenMode how =
        mode == IoMode::Writing ? QIODevice::WriteOnly | QIODevice::Truncate : QIODevice::WriteOnly | QIODevice::Append;
    if (!file->open(how))
        return openFailure(path);
    // A Unicode file carries its mark from the first byte on; appending to
    // one that has text keeps what is there.
    if (unicode && file->size() == 0 && file->write("\xFF\xFE", 2) != 2)
        return scriptError(ErrorNumber::DeviceIoError);
    stream->m_file = std::move(file);
    return stream;
}

Result<std::shared_ptr<TextStreamObject>> TextStreamObject::create(const QString &path, bool overwrite, bool unicode)
{
    const QFileInfo info(path);
    if (info.isDir())
        return scriptError(ErrorNumber::FileAlreadyExists);
    if (info.exists() && !overwrite)
        return scriptError(ErrorNumber::FileAlreadyExists);
    if (!info.absoluteDir().exists())
        return scriptError(ErrorNumber::PathNotFound);
    return open(path, IoMode::Writing, true, unicode);
}

TextStreamObject::~TextStreamObject()
{
    (void)close();
}

const MemberTable<TextStreamObject> &TextStreamObject::members()
{
    using M = HostMember<TextStreamObject>;
    using T = TextStreamObject;
    static const MemberTable<TextStreamObject> table({
        M{"ReadAll", MemberKind::Method, 0, 0, [](T &s, Arguments &) { return wrap(s.readAll()); }, nullptr},
        M{"ReadLine", MemberKind::Method, 0, 0, [](T &s, Arguments &) { return wrap(s.readLine()); }, nullptr},
        M{"Read", MemberKind::Method, 1, 1,
          [](T &s, Arguments &a) -> Result<Variant> {
              qint32 n = TRY(a.toLong(0));
              return wrap(s.read(n));
          },
          nullptr},
        M{"Skip", MemberKind::Method, 1, 1,
          [](T &s, Arguments &a) -> Result<Variant> {
              qint32 n = TRY(a.toLong(0));
              return done(s.skip(n));
          },
          nullptr},
        M{"SkipLine", MemberKind::Method, 0, 0, [](T &s, Arguments &) { return done(s.skipLine()); }, nullptr},
        M{"AtEndOfStream", MemberKind::Property, 0, 0, [](T &s, Arguments &) { return wrap(s.atEndOfStream()); },
          nullptr},
        M{"AtEndOfLine", MemberKind::Property, 0, 0, [](T &s, Arguments &) { return wrap(s.atEndOfLine()); },
          nullptr},
        M{"Line", MemberKind::Property, 0, 0, [](T &s, Arguments &) { return wrap(s.line()); }, nullptr},
        M{"Column", MemberKind::Property, 0, 0, [](T &s, Arguments &) { return wrap(s.column()); }, nullptr},
        M{"Write", MemberKind::Method, 1, 1,
          [](T &s, Arguments &a) -> Result<Variant> {
              QString text = TRY(a.text(0));
              return done(s.write(text));
          },
          nullptr},
        M{"WriteLine", MemberKind::Method, 0, 1,
          [](T &s, Arguments &a) -> Result<Variant> {
              QString text = TRY(textArg(a, 0));
              return done(s.writeLine(text));
          },
          nullptr},
        M{"WriteBlankLines", MemberKind::Method, 1, 1,
          [](T &s, Arguments &a) -> Result<Variant> {
              qint32 n = TRY(a.toLong(0));
              return done(s.writeBlankLines(n));
          },
          nullptr},
        M{"Close", MemberKind::Method, 0, 0, [](T &s, Arguments &) { return done(s.close()); }, nullptr},
    });
    return table;
}

Status TextStreamObject::usable() const
{
    if (m_closed)
        return scriptError(ErrorNumber::BadFileNameOrNumber);
    return {};
}

Status TextStreamObject::readable() const
{
    if (Status s = usable(); !s)
        return s;
    if (m_mode != IoMode::Reading)
        return scriptError(ErrorNumber::BadFileMode);
    return {};
}

void TextStreamObject::advance(QStringView consumed)
{
    for (QChar c : consumed) {
        if (c == QLatin1Char('\n')) {
            ++m_line;
            m_column = 1;
        } else {
            ++m_column;
        }
    }
}

Result<QString> TextStreamObject::readAll()
{
    TRY(readable());
    if (m_position >= m_text.size())
        return scriptError(ErrorNumber::InputPastEndOfFile);
    const QString rest = m_text.mid(m_position);
    m_position = m_text.size();
    advance(rest);
    return rest;
}

Result<QString> TextStreamObject::readLine()
{
    TRY(readable());
    if (m_position >= m_text.size())
        return scriptError(ErrorNumber::InputPastEndOfFile);
    qsizetype end = m_text.indexOf(QLatin1Char('\n'), m_position);
    const qsizetype next = end < 0 ? m_text.size() : end + 1;
    if (end < 0)
        end = m_text.size();
    else if (end > m_position && m_text[end - 1] == QLatin1Char('\r'))
        --end;
    const QString text = m_text.mid(m_position, end - m_position);
    advance(QStringView(m_text).mid(m_position, next - m_position));
    m_position = next;
    return text;
}

Result<QString> TextStreamObject::read(qint32 count)
{
    TRY(readable());
    if (count < 0)
        return scriptError(ErrorNumber::InvalidProcedureCall);
    if (count == 0)
        return QString();
    if (m_position >= m_text.size())
        return scriptError(ErrorNumber::InputPastEndOfFile);
    const QString text = m_text.mid(m_position, count);
    m_position += text.size();
    advance(text);
    return text;
}

Status TextStreamObject::skip(qint32 count)
{
    QString skipped = TRY(read(count));
    return {};
}

Status TextStreamObject::skipLine()
{
    QString skipped = TRY(readLine());
    return {};
}

Result<bool> TextStreamObject::atEndOfStream() const
{
    TRY(readable());
    return m_position >= m_text.size();
}

Result<bool> TextStreamObject::atEndOfLine() const
{
    TRY(readable());
    if (m_position >= m_text.size())
        return true;
    const QChar c = m_text[m_position];
    if (c == QLatin1Char('\n'))
        return true;
    return c == QLatin1Char('\r') && m_position + 1 < m_text.size() && m_text[m_position + 1] == QLatin1Char('\n');
}

Status TextStreamObject::write(const QString &text)
{
    if (Status s = usable(); !s)
        return s;
    if (m_mode == IoMode::Reading)
        return scriptError(ErrorNumber::BadFileMode);
    if (text.isEmpty())
        return {};
    Result<QByteArray> bytes = CharsetConverter::encode(text, m_unicode ? "UTF-16LE" : "UTF-8");
    if (!bytes)
        return bytes.error();
    errno = 0;
    if (m_file->write(*bytes) != bytes->size())
        return writeFailure(*m_file, errno);
    advance(text);
    return {};
}

Status TextStreamObject::writeLine(const QString &text)
{
    return write(text + kLineEnd);
}

Status TextStreamObject::writeBlankLines(qint32 count)
{
    if (count < 0)
        return scriptError(ErrorNumber::InvalidProcedureCall);
    return write(kLineEnd.repeated(count));
}

Result<qint32> TextStreamObject::line() const
{
    TRY(usable());
    return m_line;
}

Result<qint32> TextStreamObject::column() const
{
    TRY(usable());
    return m_column;
}

Status TextStreamObject::close()
{
    if (m_closed)
        return {};
    m_closed = true;
    m_text.clear();
    if (!m_file)
        return {};
    errno = 0;
    const bool flushed = m_file->flush();
    const ScriptError why = flushed ? ScriptError() : writeFailure(*m_file, errno);
    m_file->close();
    m_file.reset();
    if (!flushed)
        return why;
    return {};
}

} // namespace sorvane
