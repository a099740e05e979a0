#include "text/TextCodec.h"

#include "text/CharsetConverter.h"
#include "text/Utf8Decoder.h"
#include "text/Utf8Validity.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include <cerrno>
#include <cstring>
#include <new>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sorvane {

namespace {

bool is(const QString &name, const char *literal) { return name.compare(QLatin1String(literal), Qt::CaseInsensitive) == 0; }

QString reason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

ScriptError fileError(int error) { return scriptError(75, reason(error)); }

class Fd {
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

// The whole file in one read pass; the error's description is the reason.
Result<QByteArray> readFile(const QString &fileName)
{
    Fd fd(::open(QFile::encodeName(fileName).constData(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0)
        return fileError(errno);
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        return fileError(errno);
    if (S_ISDIR(st.st_mode))
        return fileError(EISDIR);
    QByteArray bytes;
    try {
        // The size is a hint: a file that grows meanwhile, or one that does
        // not know its size, is read to its end all the same.
        qsizetype capacity = qsizetype(st.st_size) + 1;
        bytes.resize(capacity);
        qsizetype used = 0;
        for (;;) {
            if (used == capacity) {
                capacity += std::max<qsizetype>(capacity / 2, 64 * 1024);
                bytes.resize(capacity);
            }
            const ssize_t n = ::read(fd.get(), bytes.data() + used, size_t(capacity - used));
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                return fileError(errno);
            }
            if (n == 0)
                break;
            used += n;
        }
        bytes.resize(used);
    } catch (const std::bad_alloc &) {
        return scriptError(7, QStringLiteral("the file is too large to read"));
    }
    return bytes;
}

// Writes through a temporary file where the folder allows it, so a failed
// write leaves the old file whole.
Status writeFile(const QString &fileName, const QByteArray &bytes)
{
    QSaveFile file(fileName);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return scriptError(75, file.errorString());
    if (file.write(bytes) != bytes.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return scriptError(75, why);
    }
    if (!file.commit())
        return scriptError(75, file.errorString());
    return {};
}

QString readFailure(const QString &fileName, const QString &why)
{
    return QStringLiteral("Cannot read the file \"%1\": %2.").arg(fileName, why);
}

QString writeFailure(const QString &fileName, const QString &why)
{
    return QStringLiteral("Cannot write the file \"%1\": %2.").arg(fileName, why);
}

bool startsWith(const QByteArray &bytes, const char *mark, qsizetype length)
{
    return bytes.size() >= length && std::memcmp(bytes.constData(), mark, size_t(length)) == 0;
}

QString withoutLeadingMark(QString text)
{
    if (!text.isEmpty() && text.front() == QChar(0xFEFF))
        text.remove(0, 1);
    return text;
}

} // namespace

TextCodec::TextCodec(FailureReporter reportFailure)
    : m_reportFailure(std::move(reportFailure))
{
}

bool TextCodec::fileExists(const QString &fileName)
{
    if (fileName.isEmpty())
        return false;
    struct stat st {};
    return ::stat(QFile::encodeName(fileName).constData(), &st) == 0 && !S_ISDIR(st.st_mode);
}

QString TextCodec::headerText(const QByteArray &bytes, qsizetype from, qsizetype count, const QString &separator)
{
    QStringList pairs;
    for (qsizetype i = from; i < from + count && i < bytes.size(); ++i)
        pairs << QStringLiteral("%1").arg(uchar(bytes[i]), 2, 16, QLatin1Char('0')).toUpper();
    return pairs.join(separator);
}

QString TextCodec::detectCharSet(const QByteArray &bytes)
{
    // The order matters: FF FE 00 00 is UTF-32 before it is UTF-16.
    if (startsWith(bytes, "\xEF\xBB\xBF", 3))
        return QStringLiteral("UTF-8");
    if (startsWith(bytes, "\xFF\xFE\x00\x00", 4) || startsWith(bytes, "\x00\x00\xFE\xFF", 4))
        return QStringLiteral("UTF-32");
    if (startsWith(bytes, "\xFF\xFE", 2) || startsWith(bytes, "\xFE\xFF", 2))
        return QStringLiteral("UTF-16");
    if (isUtf8Bytes(reinterpret_cast<const unsigned char *>(bytes.constData()), size_t(bytes.size())))
        return QStringLiteral("utf-8");
    return QStringLiteral("GB2312");
}

Result<QString> TextCodec::decode(const QByteArray &bytes, const QString &charset)
{
    const char *data = bytes.constData();
    size_t size = size_t(bytes.size());
    QByteArray iconvName;
    size_t invalidUnit = 1;
    bool asciiRuns = false;
    if (is(charset, "UTF-8")) {
        asciiRuns = true;
        iconvName = "UTF-8";
        if (startsWith(bytes, "\xEF\xBB\xBF", 3)) {
            data += 3;
            size -= 3;
        }
    } else if (is(charset, "GB2312")) {
        iconvName = "GB18030";
        asciiRuns = true;
    } else if (is(charset, "UTF-16")) {
        invalidUnit = 2;
        if (startsWith(bytes, "\xFF\xFE", 2) || startsWith(bytes, "\xFE\xFF", 2)) {
            m_utf16BigEndian = uchar(bytes[0]) == 0xFE;
            data += 2;
            size -= 2;
            iconvName = m_utf16BigEndian ? "UTF-16BE" : "UTF-16LE";
        } else {
            iconvName = "UTF-16LE";
        }
    } else if (is(charset, "UTF-32")) {
        invalidUnit = 4;
        if (startsWith(bytes, "\xFF\xFE\x00\x00", 4) || startsWith(bytes, "\x00\x00\xFE\xFF", 4)) {
            m_utf32BigEndian = bytes[0] == 0;
            data += 4;
            size -= 4;
            iconvName = m_utf32BigEndian ? "UTF-32BE" : "UTF-32LE";
        } else {
            iconvName = "UTF-32LE";
        }
    } else {
        iconvName = charset.toLatin1();
    }
    if (iconvName == "UTF-8") {
        if (std::optional<QString> text = decodeWellFormedUtf8(data, qsizetype(size)))
            return std::move(*text);
        // Qt's decoder is several times faster than iconv on well-formed
        // text; anything it flags goes through iconv, which replaces each
        // invalid byte on its own.
        QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::Stateless |
                                                      QStringConverter::Flag::ConvertInitialBom);
        QString text = utf8.decode(QByteArrayView(data, qsizetype(size)));
        if (!utf8.hasError())
            return withoutLeadingMark(std::move(text));
    }
    Result<CharsetConverter::Decoded> decoded = CharsetConverter::decode(data, size, iconvName.constData(), invalidUnit, asciiRuns);
    if (!decoded)
        return decoded.error();
    return withoutLeadingMark(std::move(decoded->text));
}

Result<QByteArray> TextCodec::encode(const QString &text, const QString &charset) const
{
    QByteArray mark;
    QByteArray iconvName;
    if (charset == QLatin1String("UTF-8")) {
        mark = "\xEF\xBB\xBF";
        iconvName = "UTF-8";
    } else if (is(charset, "UTF-8")) {
        iconvName = "UTF-8";
    } else if (is(charset, "GB2312")) {
        iconvName = "GB18030";
    } else if (is(charset, "UTF-16")) {
        mark = m_utf16BigEndian ? QByteArray("\xFE\xFF", 2) : QByteArray("\xFF\xFE", 2);
        iconvName = m_utf16BigEndian ? "UTF-16BE" : "UTF-16LE";
    } else if (is(charset, "UTF-32")) {
        mark = m_utf32BigEndian ? QByteArray("\x00\x00\xFE\xFF", 4) : QByteArray("\xFF\xFE\x00\x00", 4);
        iconvName = m_utf32BigEndian ? "UTF-32BE" : "UTF-32LE";
    } else {
        iconvName = charset.toLatin1();
    }
    // A text that already starts with the mark's character keeps one mark.
    const QStringView body = !mark.isEmpty() && text.startsWith(QChar(0xFEFF)) ? QStringView(text).mid(1)
                                                                              : QStringView(text);
    Result<QByteArray> bytes = CharsetConverter::encode(body, iconvName.constData());
    if (!bytes)
        return bytes.error();
    return mark + *bytes;
}

TextCodec::TextRead TextCodec::readText(const QString &fileName, const QString &charset)
{
    if (!fileExists(fileName))
        return {};
    Result<QByteArray> bytes = readFile(fileName);
    if (!bytes) {
        m_reportFailure(readFailure(fileName, bytes.error().description));
        return {QString(), charset};
    }
    QString name = charset;
    if (name.isEmpty()) {
        // Most files are well-formed UTF-8 without a mark: detected and
        // decoded in one pass.
        if (std::optional<QString> text = decodeWellFormedUtf8(bytes->constData(), bytes->size()))
            return {std::move(*text), QStringLiteral("utf-8")};
        name = detectCharSet(*bytes);
    }
    Result<QString> text = decode(*bytes, name);
    if (!text) {
        m_reportFailure(readFailure(fileName, text.error().description));
        return {QString(), name};
    }
    return {std::move(*text), name};
}

void TextCodec::PutStrText(const QString &fileName, const QString &text, const QString &charset)
{
    Result<QByteArray> bytes = encode(text, charset);
    if (!bytes) {
        m_reportFailure(writeFailure(fileName, bytes.error().description));
        return;
    }
    if (Status written = writeFile(fileName, *bytes); !written)
        m_reportFailure(writeFailure(fileName, written.error().description));
}

Result<QString> TextCodec::GetFileHeader(const QString &fileName, qint32 addr, qint32 count, const QString &separator)
{
    if (addr < 0)
        return scriptError(5);
    if (!fileExists(fileName))
        return scriptError(53);
    if (count < 0)
        return QString();
    Fd fd(::open(QFile::encodeName(fileName).constData(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0)
        return fileError(errno);
    // Only the bytes asked for are read, and never more than the file holds.
    const qsizetype wanted = qsizetype(count) + 1;
    QByteArray bytes;
    qsizetype used = 0;
    while (used < wanted) {
        if (used == bytes.size())
            bytes.resize(std::min<qsizetype>(wanted, used + 64 * 1024));
        const ssize_t n = ::pread(fd.get(), bytes.data() + used, size_t(bytes.size() - used), off_t(addr) + used);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fileError(errno);
        }
        if (n == 0)
            break;
        used += n;
    }
    bytes.resize(used);
    return headerText(bytes, 0, used, separator);
}

Result<QString> TextCodec::GetBytes(const QString &fileName)
{
    if (!fileExists(fileName))
        return scriptError(53);
    Result<QByteArray> bytes = readFile(fileName);
    if (!bytes)
        return bytes.error();
    return QString::fromLatin1(*bytes);
}

bool TextCodec::IsUtf8(const QString &byteString)
{
    return isUtf8ByteString(byteString);
}

QString TextCodec::GetFileText(const QString &fileName)
{
    if (!fileExists(fileName))
        return QString();
    Result<QByteArray> bytes = readFile(fileName);
    if (!bytes)
        return QString();
    const QByteArray &b = *bytes;
    const qsizetype skip = startsWith(b, "\xEF\xBB\xBF", 3) ? 3 : 0;
    Result<CharsetConverter::Decoded> utf8 = CharsetConverter::decode(b.constData() + skip, size_t(b.size() - skip), "UTF-8", 1, true);
    if (utf8 && utf8->clean)
        return std::move(utf8->text);
    Result<CharsetConverter::Decoded> gb = CharsetConverter::decode(b.constData(), size_t(b.size()), "GB18030", 1, true);
    return gb ? std::move(gb->text) : QString();
}

void TextCodec::SetFileText(const QString &fileName, const QString &text)
{
    Result<QByteArray> bytes = CharsetConverter::encode(text, "UTF-8");
    if (bytes)
        (void)writeFile(fileName, *bytes);
}

} // namespace sorvane
