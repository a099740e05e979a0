#pragma once

#include "core/ScriptError.h"

#include <QByteArray>
#include <QString>

#include <functional>

#include <sys/types.h>

namespace sorvane {

// Reads and writes whole text files, in a named character set or one found
// from the file's bytes. Each file is read once: detection works on the
// bytes already in memory.
//
// Detection yields a name, which a read returns beside the text: "UTF-8"
// (mark EF BB BF), "UTF-32" (FF FE 00 00 or 00 00 FE FF), "UTF-16" (FF FE or
// FE FF), "utf-8" (no mark, the UTF-8 test holds), else what CharsetDetector
// finds: "UTF-16LE"/"UTF-16BE" without a mark, another set by its iconv name
// ("BIG5", "SHIFT_JIS", "WINDOWS-1252", …), or "GB2312" when in doubt.
// "GB2312" reads and writes GB18030, which holds every GBK file; "UTF-16"
// and "UTF-32" follow the mark's byte order. The mark is dropped on reading.
// On writing, "UTF-8", "UTF-16" and "UTF-32" write their mark (in the byte
// order last read under that name, little-endian before any) and "utf-8"
// none, so a file saved back keeps its form. Any other name goes to iconv as
// it is.
class TextCodec {
public:
    // Shows `description` to the user (the box with style 48, "系统提示").
    using FailureReporter = std::function<void(const QString &description)>;

    explicit TextCodec(FailureReporter reportFailure);

    struct TextRead {
        QString text;
        // The set named, else the one detected; "" when the file does not
        // exist or could not be read before detection.
        QString charSet;
        // True once the file was read and decoded.
        bool read = false;
    };
    // The decoded text; empty when the file does not exist (silently) or
    // when reading fails (after the box).
    TextRead readText(const QString &fileName, const QString &charset);
    // Writes `text` in `charset`, replacing the file; a failure shows the box
    // and leaves an existing file as it was.
    void PutStrText(const QString &fileName, const QString &text, const QString &charset);
    // Bytes `addr` .. `addr` + `count` as two hex digits each, joined by
    // `separator`; bytes past the end of the file are left out.
    Result<QString> GetFileHeader(const QString &fileName, qint32 addr, qint32 count, const QString &separator);
    // The whole file, one character per byte with the byte's value as code.
    Result<QString> GetBytes(const QString &fileName);
    static bool IsUtf8(const QString &byteString);
    // A text file in the system code page (UTF-8); a file that is not valid
    // UTF-8 reads as GB18030. Empty when it does not exist or cannot be read.
    QString GetFileText(const QString &fileName);
    // Writes in the system code page, as PutStrText writes; a failure is
    // returned as 61 (disk full), 70 (permission denied) or 75 (any other).
    Status SetFileText(const QString &fileName, const QString &text);

    // Shows the box for a file that cannot be read.
    void reportReadFailure(const QString &fileName, const QString &why);

    // The building blocks, without files or settings.
    static QString headerText(const QByteArray &bytes, qsizetype from, qsizetype count, const QString &separator);
    static QString detectCharSet(const QByteArray &bytes);
    // Decodes under a character-set name as readText does; the error names
    // the reason (an unknown character set).
    Result<QString> decode(const QByteArray &bytes, const QString &charset);
    Result<QByteArray> encode(const QString &text, const QString &charset) const;

    // Whether a path names an existing file (hidden files count, folders do not).
    static bool fileExists(const QString &fileName);

    // No file larger than this is read into memory.
    static constexpr qsizetype kReadLimit = qsizetype(1) << 30;
    // The bytes of a regular file, at most `limit` of them. Anything else (a
    // folder, a pipe, a device) is refused at once, without waiting on it.
    static Result<QByteArray> readRegularFile(const QString &fileName, qsizetype limit);

    // The system calls a write goes through; tests put failures in.
    struct WriteCalls {
        std::function<int(char *pathTemplate)> makeTemporary;                             // mkstemp
        std::function<ssize_t(int fd, const char *data, size_t size, off_t offset)> write; // pwrite
        std::function<int(int fd, off_t length)> reserve; // posix_fallocate: 0 or the error
    };
    static WriteCalls systemWriteCalls();
    // The error scripts get for a failed write's system error: 61 (disk
    // full), 70 (permission denied) or 75 (any other).
    static ErrorNumber writeErrorNumber(int error);
    WriteCalls &writeCalls() { return m_writeCalls; }
    // Replaces the file with `bytes`. A failure (61, 70 or 75, with the
    // system's reason) leaves an existing file whole: the bytes go to a new
    // file beside it first, and where the folder takes none, the old bytes
    // are put back when the new ones do not all go in.
    Status writeFile(const QString &fileName, const QByteArray &bytes) const;

private:
    FailureReporter m_reportFailure;
    bool m_utf16BigEndian = false;
    bool m_utf32BigEndian = false;
    WriteCalls m_writeCalls;
};

} // namespace sorvane
