#include "text/TextCodec.h"

#include "text/CharsetConverter.h"
#include "text/CharsetDetector.h"
#include "text/Utf8Decoder.h"
#include "text/Utf8Validity.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sorvane {

namespace {

bool is(const QString &name, const char *literal) { return name.compare(QLatin1String(literal), Qt::CaseInsensitive) == 0; }

QString reason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

ScriptError fileError(int error) { return scriptError(ErrorNumber::PathFileAccessError, reason(error)); }

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

// Only regular files are read: a pipe or a terminal would block the
// user-interface thread in open() or read(), and a device never ends.
ScriptError notRegular() { return scriptError(ErrorNumber::PathFileAccessError, QStringLiteral("it is not a regular file")); }

ScriptError tooLarge() { return scriptError(ErrorNumber::OutOfMemory, QStringLiteral("the file is larger than 1 GB")); }

// Opens a regular file for reading. The name is looked at before opening,
// and the open itself does not wait, so a pipe put in its place meanwhile
// cannot block either.
Result<int> openRegular(const QString &fileName, struct stat &st)
{
    const QByteArray path = QFile::encodeName(fileName);
    if (::stat(path.constData(), &st) != 0)
        return fileError(errno);
    if (S_ISDIR(st.st_mode))
        return fileError(EISDIR);
    if (!S_ISREG(st.st_mode))
        return notRegular();
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return fileError(errno);
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int error = errno;
        ::close(fd);
        return S_ISREG(st.st_mode) ? fileError(error) : notRegular();
    }
    return fd;
}

// The rest of an open file, read to its end (the size is a hint: a file that
// grows meanwhile is read on, up to the limit).
Result<QByteArray> readOpen(int fd, qsizetype sizeHint, qsizetype limit)
{
    if (sizeHint > limit)
        return tooLarge();
    QByteArray bytes;
    try {
        qsizetype capacity = sizeHint + 1;
        bytes.resize(capacity);
        qsizetype used = 0;
        for (;;) {
            if (used == capacity) {
                if (used > limit)
                    return tooLarge();
                capacity = std::min<qsizetype>(limit + 1, capacity + std::max<qsizetype>(capacity / 2, 64 * 1024));
                bytes.resize(capacity);
            }
            const ssize_t n = ::read(fd, bytes.data() + used, size_t(capacity - used));
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                return fileError(errno);
            }
            if (n == 0)
                break;
            used += n;
        }
        if (used > limit)
            return tooLarge();
        bytes.resize(used);
    } catch (const std::bad_alloc &) {
        return scriptError(ErrorNumber::OutOfMemory, QStringLiteral("the file is too large to read"));
    }
    return bytes;
}

} // namespace

ErrorNumber TextCodec::writeErrorNumber(int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return ErrorNumber::DiskFull;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
        return ErrorNumber::PermissionDenied;
    default:
        return ErrorNumber::PathFileAccessError;
    }
}

namespace {

// A failed write as scripts know it (61, 70 or 75); the description is the
// system's reason.
ScriptError writeError(int error) { return scriptError(TextCodec::writeErrorNumber(error), reason(error)); }

Status writeAll(const TextCodec::WriteCalls &calls, int fd, const char *data, qsizetype size)
{
    qsizetype done = 0;
    while (done < size) {
        const ssize_t n = calls.write(fd, data + done, size_t(size - done), off_t(done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return writeError(errno);
        }
        if (n == 0)
            return writeError(ENOSPC);
        done += n;
    }
    return {};
}

// The file itself is written over. The old bytes are kept and put back when
// the new ones do not all go in, and room for a longer text is taken before
// the old one is touched, so a failure leaves the old file whole.
Status writeInPlace(const TextCodec::WriteCalls &calls, const QByteArray &path, bool exists, const QByteArray &bytes)
{
    if (!exists) {
        Fd fd(::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (fd.get() < 0)
            return writeError(errno);
        if (Status written = writeAll(calls, fd.get(), bytes.constData(), bytes.size()); !written) {
            ::unlink(path.constData());
            return written;
        }
        return {};
    }
    Fd fd(::open(path.constData(), O_RDWR | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (fd.get() < 0)
        return writeError(errno);
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        return writeError(errno);
    if (!S_ISREG(st.st_mode))
        return notRegular();
    Result<QByteArray> old = readOpen(fd.get(), qsizetype(st.st_size), TextCodec::kReadLimit);
    if (!old)
        return old.error();
    if (bytes.size() > old->size()) {
        const int refused = calls.reserve(fd.get(), off_t(bytes.size()));
        if (refused != 0 && refused != EOPNOTSUPP && refused != EINVAL)
            return writeError(refused);
    }
    Status written = writeAll(calls, fd.get(), bytes.constData(), bytes.size());
    if (written && ::ftruncate(fd.get(), off_t(bytes.size())) != 0)
        written = writeError(errno);
    if (!written) {
        (void)writeAll(calls, fd.get(), old->constData(), old->size());
        (void)::ftruncate(fd.get(), off_t(old->size()));
    }
    return written;
}

mode_t creationMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

Result<QByteArray> TextCodec::readRegularFile(const QString &fileName, qsizetype limit)
{
    struct stat st {};
    Result<int> opened = openRegular(fileName, st);
    if (!opened)
        return opened.error();
    Fd fd(*opened);
    return readOpen(fd.get(), qsizetype(st.st_size), limit);
}

TextCodec::WriteCalls TextCodec::systemWriteCalls()
{
    WriteCalls calls;
    calls.makeTemporary = [](char *pathTemplate) { return ::mkostemp(pathTemplate, O_CLOEXEC); };
    calls.write = [](int fd, const char *data, size_t size, off_t offset) { return ::pwrite(fd, data, size, offset); };
    calls.reserve = [](int fd, off_t length) { return ::posix_fallocate(fd, 0, length); };
    return calls;
}

Status TextCodec::writeFile(const QString &fileName, const QByteArray &bytes) const
{
    QByteArray path = QFile::encodeName(fileName);
    struct stat old {};
    const bool exists = ::stat(path.constData(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode))
        return writeError(EISDIR);
    if (exists && !S_ISREG(old.st_mode))
        return notRegular();
    if (exists) {
        // A link is followed: the file it names gets the new text.
        if (char *real = ::realpath(path.constData(), nullptr)) {
            path = real;
            std::free(real);
        }
    }
    // Written beside the old file and renamed over it once whole, so a
    // failed write leaves the old file as it was.
    const qsizetype slash = path.lastIndexOf('/');
    QByteArray temporary = path.left(slash + 1) + ".sorvane-XXXXXX";
    Fd fd(m_writeCalls.makeTemporary(temporary.data()));
    if (fd.get() < 0) {
        // The folder takes no new file (it is read-only, say).
        return writeInPlace(m_writeCalls, path, exists, bytes);
    }
    Status written = writeAll(m_writeCalls, fd.get(), bytes.constData(), bytes.size());
    if (written) {
        if (exists) {
            (void)::fchown(fd.get(), old.st_uid, old.st_gid);
            (void)::fchmod(fd.get(), old.st_mode & 07777);
        } else {
            (void)::fchmod(fd.get(), creationMode());
        }
        if (::rename(temporary.constData(), path.constData()) != 0)
            written = writeError(errno);
    }
    if (!written)
        ::unlink(temporary.constData());
    return written;
}

namespace {

Result<QByteArray> readFile(const QString &fileName)
{
    return TextCodec::readRegularFile(fileName, TextCodec::kReadLimit);
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
    : m_reportFailure(std::move(reportFailure)), m_writeCalls(systemWriteCalls())
{
}

void TextCodec::reportReadFailure(const QString &fileName, const QString &why)
{
    m_reportFailure(readFailure(fileName, why));
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
    return CharsetDetector::detect(bytes);
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
        if (charset.startsWith(QLatin1String("UTF-16"), Qt::CaseInsensitive))
            invalidUnit = 2;
        else if (charset.startsWith(QLatin1String("UTF-32"), Qt::CaseInsensitive))
            invalidUnit = 4;
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
    CharsetConverter::Decoded decoded =
        TRY(CharsetConverter::decode(data, size, iconvName.constData(), invalidUnit, asciiRuns));
    return withoutLeadingMark(std::move(decoded.text));
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
    QByteArray bytes = TRY(CharsetConverter::encode(body, iconvName.constData()));
    return mark + bytes;
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
            return {std::move(*text), QStringLiteral("utf-8"), true};
        name = detectCharSet(*bytes);
    }
    Result<QString> text = decode(*bytes, name);
    if (!text) {
        m_reportFailure(readFailure(fileName, text.error().description));
        return {QString(), name};
    }
    return {std::move(*text), name, true};
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
        return scriptError(ErrorNumber::InvalidProcedureCall);
    if (!fileExists(fileName))
        return scriptError(ErrorNumber::FileNotFound);
    if (count < 0)
        return QString();
    struct stat st {};
    Result<int> opened = openRegular(fileName, st);
    if (!opened)
        return opened.error();
    Fd fd(*opened);
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
        return scriptError(ErrorNumber::FileNotFound);
    QByteArray bytes = TRY(readFile(fileName));
    return QString::fromLatin1(bytes);
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

Status TextCodec::SetFileText(const QString &fileName, const QString &text)
{
    Result<QByteArray> bytes = CharsetConverter::encode(text, "UTF-8");
    if (!bytes)
        return bytes.error();
    // A script that saves its settings must learn that the save failed: the
    // number says why, in the words scripts know.
    if (Status written = writeFile(fileName, *bytes); !written)
        return scriptError(ErrorNumber{written.error().number});
    return {};
}

} // namespace sorvane
