#pragma once

#include "core/HostObject.h"

#include <QByteArray>
#include <QString>

namespace sorvane {

class TextCodec;

// "ADODB.Stream": bytes in memory with a position, read and written as raw
// bytes (Type 1) or as text in a named character set (Type 2, the default).
//
// Character sets go through the program's text codec, with these names kept
// as the stream knows them: "Unicode" (the default) and "UTF-16" are
// UTF-16LE, "unicodeFFFE" and "UTF-16BE" big-endian; "UTF-8" in any case is
// UTF-8. Those write their byte-order mark when text is written at the
// start of the stream, and reading from the start skips it. "GB2312" reads
// and writes GB18030; any other name goes to iconv.
// Binary Read returns an array of numbers 0..255 (Null at the end of the
// stream); Write takes such an array or a text whose characters are all
// below 256.
// Errors are the platform's: 3704 on a closed stream, 3705 for what only a
// closed stream allows, 3219 for text operations on bytes and the reverse,
// 3001 for arguments out of range, 3002 for a file that cannot be read and
// 3004 for one that cannot be written.
class StreamObject : public HostObject<StreamObject> {
public:
    enum class Type { Binary = 1, Text = 2 };

    explicit StreamObject(TextCodec *codec) : m_codec(codec) {}

    QString typeName() const override { return QStringLiteral("Stream"); }
    static const MemberTable<StreamObject> &members();

    Status open();
    Status close();
    bool isOpen() const { return m_open; }

    Status setType(qint32 type);
    Type type() const { return m_type; }
    Status setMode(qint32 mode);
    qint32 mode() const { return m_mode; }
    Status setCharset(const QString &name);
    const QString &charset() const { return m_charset; }
    Status setLineSeparator(qint32 separator);
    qint32 lineSeparator() const { return m_lineSeparator; }

    Result<qint32> position() const;
    Status setPosition(qint32 position);
    Result<qint32> size() const;
    Result<bool> eos() const;
    Status setEos();

    Status loadFromFile(const QString &path);
    // options: 1 create a new file only, 2 create or overwrite.
    Status saveToFile(const QString &path, qint32 options) const;

    // count: -1 all, -2 one line, else that many characters.
    Result<QString> readText(qint32 count);
    // option 1 adds the line separator.
    Status writeText(const QString &text, qint32 option);
    Status skipLine();
    // count: -1 all.
    Result<QByteArray> read(qint32 count);
    Status write(const QByteArray &bytes);
    Status copyTo(StreamObject &target, qint32 count);
    Status flush() const;

    const QByteArray &bytes() const { return m_data; }

private:
    struct Encoding {
        QString codecName;
        QByteArray mark;
    };
    Encoding encoding() const;
    Status usable() const;
    Status textUsable() const;
    Status binaryUsable() const;
    QString separatorText() const;
    void put(const QByteArray &bytes);

    TextCodec *m_codec;
    bool m_open = false;
    Type m_type = Type::Text;
    qint32 m_mode = 0;
    QString m_charset = QStringLiteral("Unicode");
    qint32 m_lineSeparator = -1;
    QByteArray m_data;
    qsizetype m_position = 0;
};

} // namespace sorvane
