#pragma once

#include "core/HostObject.h"

#include <QFile>
#include <QString>

#include <memory>

namespace sorvane {

// "TextStream": a text file opened for reading, writing or appending, as the
// file-system object hands it out.
//
// Text in the default format is the system code page, UTF-8 here: a file
// that is not valid UTF-8 reads as GB18030, and a leading UTF-8 mark is
// dropped. The Unicode format is UTF-16LE; a new Unicode file starts with
// the mark FF FE, which reading drops.
// A reading stream takes the file's text when it opens. ReadLine ends a line
// at LF or CR LF (a lone CR is text); writing ends lines with CR LF.
// Writes go to the file as they are made, and Close or the release of the
// stream flushes them; a write that fails is reported, never dropped.
class TextStreamObject : public HostObject<TextStreamObject> {
public:
    enum class IoMode { Reading = 1, Writing = 2, Appending = 8 };

    // OpenTextFile: 53 when the file is missing and not to be created,
    // 76 when its folder is missing, 70 when it cannot be opened (a folder,
    // no permission).
    static Result<std::shared_ptr<TextStreamObject>> open(const QString &path, IoMode mode, bool create, bool unicode);
    // CreateTextFile: a new, empty file for writing; 58 when it exists and
    // may not be replaced.
    static Result<std::shared_ptr<TextStreamObject>> create(const QString &path, bool overwrite, bool unicode);

    ~TextStreamObject() override;

    QString typeName() const override { return QStringLiteral("TextStream"); }
    static const MemberTable<TextStreamObject> &members();

    // Reading; 54 on a stream open for writing, 62 past the end.
    Result<QString> readAll();
    Result<QString> readLine();
    Result<QString> read(qint32 count);
    Status skip(qint32 count);
    Status skipLine();
    Result<bool> atEndOfStream() const;
    Result<bool> atEndOfLine() const;

    // Writing; 54 on a stream open for reading.
    Status write(const QString &text);
    Status writeLine(const QString &text);
    Status writeBlankLines(qint32 count);

    Result<qint32> line() const;
    Result<qint32> column() const;
    Status close();

private:
    TextStreamObject() = default;
    Status usable() const;
    Status readable() const;
    void advance(QStringView consumed);

    IoMode m_mode = IoMode::Reading;
    bool m_unicode = false;
    bool m_closed = false;
    QString m_text;         // reading: the file's text
    qsizetype m_position = 0;
    std::unique_ptr<QFile> m_file; // writing and appending
    qint32 m_line = 1;
    qint32 m_column = 1;
};

} // namespace sorvane
