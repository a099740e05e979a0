#include "scripting/vbscript/VbArguments.h"
#include "scripting/vbscript/VbFunctions.h"

#include "text/CharsetConverter.h"

#include <array>
#include <utility>

namespace sorvane::vb::functions {
namespace {

// The locale's ANSI code page, in which Asc and Chr count.
constexpr const char *kAnsiCharset = "GBK";

// Each character below 256 with a terminating zero, for texts of that one
// character held as static data: they need no allocation and no reference
// count, as texts taken a character at a time are common.
constexpr std::array<char16_t, 512> kSingleCharacters = [] {
    std::array<char16_t, 512> table{};
    for (int c = 0; c < 256; ++c)
        table[size_t(2 * c)] = char16_t(c);
    return table;
}();

// text.mid(from, length), a single character from the table above.
QString piece(const QString &text, qsizetype from, qsizetype length)
{
    if (length == 1 && from >= 0 && from < text.size() && text[from].unicode() < 256)
        return QString::fromRawData(reinterpret_cast<const QChar *>(&kSingleCharacters[2 * text[from].unicode()]), 1);
    return text.mid(from, length);
}

ScriptError outOfStringSpace()
{
    return scriptError(ErrorNumber::OutOfStringSpace, QStringLiteral("Out of string space"));
}

Result<Variant> trimSpaces(QVector<Variant> &args, bool left, bool right)
{
    if (args[0].isNull())
        return Variant::null();
    auto text = TRY(TextArg::of(args[0]));
    const QString &s = *text;
    qsizetype begin = 0, end = s.size();
    if (left)
        while (begin < end && s[begin] == QLatin1Char(' '))
            ++begin;
    if (right)
        while (end > begin && s[end - 1] == QLatin1Char(' '))
            --end;
    if (begin == 0 && end == s.size())
        return Variant(s);
    return Variant(s.mid(begin, end - begin));
}

Result<Variant> leftOrRight(QVector<Variant> &args, bool left)
{
    auto length = TRY(args[1].toLong());
    if (args[0].isNull())
        return Variant::null();
    if (length < 0)
        return scriptError(ErrorNumber::InvalidProcedureCall);
    auto text = TRY(TextArg::of(args[0]));
    if (length == 1 && !text->isEmpty())
        return Variant(piece(*text, left ? 0 : text->size() - 1, 1));
    return Variant(left ? text->left(length) : text->right(length));
}

Result<QString> radixText(const Variant &value, int base)
{
    quint32 bits = 0;
    if (value.kind() == Variant::Kind::Integer || value.kind() == Variant::Kind::Boolean) {
        auto n = TRY(value.toInteger());
        bits = quint16(n);
    } else {
        auto n = TRY(value.toLong());
        bits = quint32(n);
    }
    return QString::number(bits, base).toUpper();
}

bool escapesUnchanged(char16_t c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'@' ||
           c == u'*' || c == u'_' || c == u'+' || c == u'-' || c == u'.' || c == u'/';
}

int hexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

// The value of `count` hex digits at `at`, or -1.
int hexAt(const QString &s, qsizetype at, int count)
{
    if (at + count > s.size())
        return -1;
    int value = 0;
    for (int i = 0; i < count; ++i) {
        const int digit = hexValue(s[at + i]);
        if (digit < 0)
            return -1;
        value = value * 16 + digit;
    }
    return value;
}

} // namespace

Result<Variant> Len(BuiltinContext &, QVector<Variant> &args)
{
    if (const Variant &text = std::as_const(args).at(0); text.isString())
        return Variant::fromLong(qint32(text.stringValue().size()));
    if (args[0].isNull())
        return Variant::null();
    auto text = TRY(TextArg::of(args[0]));
    return Variant::fromLong(qint32(text->size()));
}

Result<Variant> LenB(BuiltinContext &context, QVector<Variant> &args)
{
    auto length = TRY(Len(context, args));
    if (length.isNull())
        return length;
    auto units = TRY(length.toLong());
    return Variant::fromLong(units * 2);
}

Result<Variant> Left(BuiltinContext &, QVector<Variant> &args)
{
    return leftOrRight(args, true);
}

Result<Variant> Right(BuiltinContext &, QVector<Variant> &args)
{
    return leftOrRight(args, false);
}

Result<Variant> Mid(BuiltinContext &, QVector<Variant> &args)
{
    // A text and whole numbers in range, the common case, without the
    // general conversions; the rest below.
    const QVector<Variant> &in = args;
    const auto isWhole = [](const Variant &v) {
        return v.kind() == Variant::Kind::Integer || v.kind() == Variant::Kind::Long;
    };
    const auto whole = [](const Variant &v) {
        return v.kind() == Variant::Kind::Integer ? qint32(v.integerValue()) : v.longValue();
    };
    if (in.at(0).isString() && isWhole(in.at(1)) && (in.size() == 2 || isWhole(in.at(2)))) {
        const QString &text = in.at(0).stringValue();
        const qint32 from = whole(in.at(1));
        const qint32 length = in.size() > 2 ? whole(in.at(2)) : -1;
        if (from >= 1 && (in.size() == 2 || length >= 0)) {
            if (from == 1 && (in.size() == 2 || length >= text.size()))
                return Variant(text);
            return Variant(piece(text, from - 1, in.size() > 2 ? length : -1));
        }
    }
    // A Null position or length is the first fault, before any other.
    if (args[1].isNull() || (args.size() > 2 && args[2].isNull()))
        return scriptError(ErrorNumber::InvalidUseOfNull);
    auto start = TRY(args[1].toLong());
    const bool hasLength = hasArg(args, 2);
    auto length = TRY(longArg(args, 2, -1));
    if (args[0].isNull())
        return Variant::null();
    if (start < 1 || (hasLength && length < 0))
        return scriptError(ErrorNumber::InvalidProcedureCall);
    auto text = TRY(TextArg::of(args[0]));
    if (start == 1 && (!hasLength || length >= text->size()))
        return Variant(*text);
    return Variant(piece(*text, start - 1, hasLength ? length : -1));
}

Result<Variant> InStr(BuiltinContext &, QVector<Variant> &args)
{
    // InStr(text, sought) or InStr(start, text, sought[, compare])
    const bool hasStart = args.size() > 2;
    const int first = hasStart ? 1 : 0;
    qint32 start = 1;
    if (hasStart) {
        auto s = TRY(args[0].toLong());
        start = s;
        if (start < 1)
            return scriptError(ErrorNumber::InvalidProcedureCall);
    }
    auto cs = TRY(compareArg(args, 3));
    if (anyNull(args, {first, first + 1}))
        return Variant::null();
    auto text = TRY(TextArg::of(args[first]));
    auto sought = TRY(TextArg::of(args[first + 1]));
    if (text->isEmpty() || start > text->size())
        return Variant::fromLong(0);
    if (sought->isEmpty())
        return Variant::fromLong(start);
    return Variant::fromLong(qint32(text->indexOf(*sought, start - 1, cs) + 1));
}

Result<Variant> InStrRev(BuiltinContext &, QVector<Variant> &args)
{
    auto start = TRY(longArg(args, 2, -1));
    if (start == 0 || start < -1)
        return scriptError(ErrorNumber::InvalidProcedureCall);
    auto cs = TRY(compareArg(args, 3));
    if (anyNull(args, {0, 1}))
        return Variant::null();
    auto text = TRY(TextArg::of(args[0]));
    auto sought = TRY(TextArg::of(args[1]));
    const qint32 end = start == -1 ? qint32(text->size()) : start;
    if (text->isEmpty() || end > text->size())
        return Variant::fromLong(0);
    if (sought->isEmpty())
        return Variant::fromLong(end);
    const qsizetype from = end - sought->size();
    if (from < 0)
        return Variant::fromLong(0);
    return Variant::fromLong(qint32(text->lastIndexOf(*sought, from, cs) + 1));
}

Result<Variant> Replace(BuiltinContext &, QVector<Variant> &args)
{
    auto text = TRY(TextArg::of(args[0]));
    auto sought = TRY(TextArg::of(args[1]));
    auto replacement = TRY(TextArg::of(args[2]));
    auto start = TRY(longArg(args, 3, 1));
    auto count = TRY(longArg(args, 4, -1));
    auto cs = TRY(compareArg(args, 5));
    if (start < 1 || count < -1)
        return scriptError(ErrorNumber::InvalidProcedureCall);
    const QString &s = *text;
    if (start > s.size())
        return Variant(QString());
    if (sought->isEmpty() || count == 0)
        return Variant(start == 1 ? s : s.mid(start - 1));

    QString out;
    out.reserve(s.size() - start + 1);
    qsizetype from = start - 1;
    qint32 done = 0;
    while (count == -1 || done < count) {
        const qsizetype at = s.indexOf(*sought, from, cs);
        if (at < 0)
            break;
        out.append(QStringView(s).mid(from, at - from));
        out.append(*replacement);
        if (out.size() > kMaxTextLength)
            return outOfStringSpace();
        from = at + sought->size();
        ++done;
    }
    out.append(QStringView(s).mid(from));
    return Variant(std::move(out));
}

Result<Variant> Split(BuiltinContext &, QVector<Variant> &args)
{
    auto text = TRY(TextArg::of(args[0]));
    QString space(QLatin1Char(' '));
    const QString *delimiter = &space;
    std::optional<TextArg> delimiterArg;
    if (hasArg(args, 1)) {
        auto d = TRY(TextArg::of(args[1]));
        delimiterArg = std::move(d);
        delimiter = &**delimiterArg;
    }
    auto count = TRY(longArg(args, 2, -1));
    auto cs = TRY(compareArg(args, 3));
    if (count < -1)
        return scriptError(ErrorNumber::InvalidProcedureCall);

    QVector<Variant> parts;
    const QString &s = *text;
    if (s.isEmpty() || count == 0)
        return Variant::fromList(std::move(parts));
    if (delimiter->isEmpty())
        return Variant::fromList({Variant(s)});
    qsizetype from = 0;
    while (count == -1 || parts.size() + 1 < count) {
        const qsizetype at = s.indexOf(*delimiter, from, cs);
        if (at < 0)
            break;
        parts.append(Variant(s.mid(from, at - from)));
        from = at + delimiter->size();
    }
    parts.append(Variant(s.mid(from)));
    return Variant::fromList(std::move(parts));
}

Result<Variant> Join(BuiltinContext &, QVector<Variant> &args)
{
    if (!args[0].isArray())
        return scriptError(ErrorNumber::TypeMismatch);
    const VariantArray &array = args[0].arrayValue();
    if (array.dimensions() != 1)
        return scriptError(ErrorNumber::InvalidProcedureCall);
    QString delimiter(QLatin1Char(' '));
    if (hasArg(args, 1)) {
        auto d = TRY(args[1].toString());
        delimiter = d;
    }
    QString out;
    for (qsizetype i = 0; i < array.items.size(); ++i) {
        if (i > 0)
            out.append(delimiter);
        const Variant &item = array.items[i];
        if (item.isNull())
            continue;
        auto piece = TRY(TextArg::of(item));
        out.append(*piece);
        if (out.size() > kMaxTextLength)
            return outOfStringSpace();
    }
    return Variant(std::move(out));
}

Result<Variant> UCase(BuiltinContext &, QVector<Variant> &args)
{
    if (args[0].isNull())
        return Variant::null();
    auto text = TRY(TextArg::of(args[0]));
    return Variant(text->toUpper());
}

Result<Variant> LCase(BuiltinContext &, QVector<Variant> &args)
{
    if (args[0].isNull())
        return Variant::null();
    auto text = TRY(TextArg::of(args[0]));
    return Variant(text->toLower());
}

Result<Variant> Trim(BuiltinContext &, QVector<Variant> &args)
{
    return trimSpaces(args, true, true);
}

Result<Variant> LTrim(BuiltinContext &, QVector<Variant> &args)
{
    return trimSpaces(args, true, false);
}

Result<Variant> RTrim(BuiltinContext &, QVector<Variant> &args)
{
    return trimSpaces(args, false, true);
}

Result<Variant> Space(BuiltinContext &, QVector<Variant> &args)
{
    auto count = TRY(args[0].toLong());
    if (count < 0)
        return scriptError(ErrorNumber::InvalidProcedureCall);
    if (count > kMaxTextLength)
        return outOfStringSpace();
    return Variant(QString(count, QLatin1Char(' ')));
}

Result<Variant> String(BuiltinContext &, QVector<Variant> &args)
{
    auto count = TRY(args[0].toLong());
    if (args[1].isNull())
        return Variant::null();
    if (count < 0)
        return scriptError(ErrorNumber::InvalidProcedureCall);
    if (count > kMaxTextLength)
        return outOfStringSpace();
    QChar c;
    if (args[1].isString()) {
        if (args[1].stringValue().isEmpty())
            return scriptError(ErrorNumber::InvalidProcedureCall);
        c = args[1].stringValue()[0];
    } else {
        auto code = TRY(args[1].toLong());
        c = QChar(char16_t(code & 0xFF));
    }
    return Variant(QString(count, c));
}

Result<Variant> StrComp(BuiltinContext &, QVector<Variant> &args)
{
    auto cs = TRY(compareArg(args, 2));
    if (anyNull(args, {0, 1}))
        return Variant::null();
    auto a = TRY(TextArg::of(args[0]));
    auto b = TRY(TextArg::of(args[1]));
    const int order = a->compare(*b, cs);
    return Variant::fromInteger(order < 0 ? -1 : order > 0 ? 1 : 0);
}

Result<Variant> StrReverse(BuiltinContext &, QVector<Variant> &args)
{
    auto text = TRY(TextArg::of(args[0]));
    const QString &s = *text;
    QString out(s.size(), Qt::Uninitialized);
    qsizetype to = s.size();
    for (qsizetype i = 0; i < s.size(); ++i) {
        // A surrogate pair stays in order, so the reversed text stays valid.
        if (s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate()) {
            to -= 2;
            out[to] = s[i];
            out[to + 1] = s[i + 1];
            ++i;
        } else {
            out[--to] = s[i];
        }
    }
    return Variant(std::move(out));
}

Result<Variant> Asc(BuiltinContext &, QVector<Variant> &args)
{
    auto text = TRY(TextArg::of(args[0]));
    if (text->isEmpty())
        return scriptError(ErrorNumber::InvalidProcedureCall);
    const char16_t c = text->at(0).unicode();
    if (c < 0x80)
        return Variant::fromInteger(qint16(c));
    const qsizetype width = text->at(0).isHighSurrogate() && text->size() > 1 ? 2 : 1;
    Result<QByteArray> bytes = CharsetConverter::encode(QStringView(*text).left(width), kAnsiCharset);
    if (!bytes || bytes->isEmpty())
        return Variant::fromInteger(qint16('?'));
    const auto b = [&](int i) { return quint8(bytes->at(i)); };
    if (bytes->size() == 1)
        return Variant::fromInteger(qint16(b(0)));
    return Variant::fromInteger(qint16(quint16(b(0) << 8 | b(1))));
}

Result<Variant> AscW(BuiltinContext &, QVector<Variant> &args)
{
    auto text = TRY(TextArg::of(args[0]));
    if (text->isEmpty())
        return scriptError(ErrorNumber::InvalidProcedureCall);
    return Variant::fromInteger(qint16(text->at(0).unicode()));
}

Result<Variant> Chr(BuiltinContext &, QVector<Variant> &args)
{
    auto code = TRY(args[0].toLong());
    if (code < -32768 || code > 65535)
        return scriptError(ErrorNumber::InvalidProcedureCall);
    if (code >= 0 && code < 0x80)
        return Variant(QString(QChar(char16_t(code))));
    const quint16 unit = quint16(code);
    QByteArray bytes;
    if (unit > 0xFF)
        bytes.append(char(unit >> 8));
    bytes.append(char(unit & 0xFF));
    Result<CharsetConverter::Decoded> decoded = CharsetConverter::decode(bytes.constData(), size_t(bytes.size()),
                                                                         kAnsiCharset);
    if (decoded && decoded->clean && !decoded->text.isEmpty() && decoded->text.size() <= 2)
        return Variant(decoded->text);
    if (unit <= 0xFF) // a lone lead byte: the character of that code
        return Variant(QString(QChar(char16_t(unit))));
    return scriptError(ErrorNumber::InvalidProcedureCall);
}

Result<Variant> ChrW(BuiltinContext &, QVector<Variant> &args)
{
    auto code = TRY(args[0].toLong());
    if (code < -32768 || code > 65535)
        return scriptError(ErrorNumber::InvalidProcedureCall);
    return Variant(QString(QChar(char16_t(quint16(code)))));
}

Result<Variant> Hex(BuiltinContext &, QVector<Variant> &args)
{
    if (args[0].isNull())
        return Variant::null();
    auto text = TRY(radixText(args[0], 16));
    return Variant(std::move(text));
}

Result<Variant> Oct(BuiltinContext &, QVector<Variant> &args)
{
    if (args[0].isNull())
        return Variant::null();
    auto text = TRY(radixText(args[0], 8));
    return Variant(std::move(text));
}

Result<Variant> Escape(BuiltinContext &, QVector<Variant> &args)
{
    if (args[0].isNull())
        return Variant::null();
    auto text = TRY(TextArg::of(args[0]));
    QString out;
    out.reserve(text->size());
    for (QChar c : *text) {
        const char16_t u = c.unicode();
        if (escapesUnchanged(u))
            out.append(c);
        else if (u < 0x100)
            out.append(QLatin1Char('%') + QString::number(uint(u), 16).toUpper().rightJustified(2, QLatin1Char('0')));
        else
            out.append(QLatin1String("%u") + QString::number(uint(u), 16).toUpper().rightJustified(4, QLatin1Char('0')));
    }
    return Variant(std::move(out));
}

Result<Variant> Unescape(BuiltinContext &, QVector<Variant> &args)
{
    if (args[0].isNull())
        return Variant::null();
    auto text = TRY(TextArg::of(args[0]));
    const QString &s = *text;
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == QLatin1Char('%')) {
            if (i + 1 < s.size() && s[i + 1] == QLatin1Char('u')) {
                const int value = hexAt(s, i + 2, 4);
                if (value >= 0) {
                    out.append(QChar(char16_t(value)));
                    i += 5;
                    continue;
                }
            }
            const int value = hexAt(s, i + 1, 2);
            if (value >= 0) {
                out.append(QChar(char16_t(value)));
                i += 2;
                continue;
            }
        }
        out.append(s[i]);
    }
    return Variant(std::move(out));
}

} // namespace sorvane::vb::functions
