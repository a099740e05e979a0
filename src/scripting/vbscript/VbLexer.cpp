#include "scripting/vbscript/VbLexer.h"

#include "scripting/vbscript/VbCompileError.h"

#include <QDate>
#include <QHash>
#include <QTime>

#include <cmath>

namespace sorvane::vb {
namespace {

const QHash<QString, Keyword> &keywords()
{
    static const QHash<QString, Keyword> table = [] {
        struct Entry {
            const char *name;
            Keyword keyword;
        };
        static const Entry entries[] = {
            {"and", Keyword::And}, {"byref", Keyword::ByRef}, {"byval", Keyword::ByVal}, {"call", Keyword::Call},
            {"case", Keyword::Case}, {"class", Keyword::Class}, {"const", Keyword::Const},
            {"default", Keyword::Default}, {"dim", Keyword::Dim}, {"do", Keyword::Do}, {"each", Keyword::Each},
            {"else", Keyword::Else}, {"elseif", Keyword::ElseIf}, {"empty", Keyword::Empty}, {"end", Keyword::End},
            {"eqv", Keyword::Eqv}, {"erase", Keyword::Erase}, {"error", Keyword::Error}, {"exit", Keyword::Exit},
            {"explicit", Keyword::Explicit}, {"false", Keyword::False}, {"for", Keyword::For},
            {"function", Keyword::Function}, {"get", Keyword::Get}, {"goto", Keyword::GoTo}, {"if", Keyword::If},
            {"imp", Keyword::Imp}, {"in", Keyword::In}, {"is", Keyword::Is}, {"let", Keyword::Let},
            {"loop", Keyword::Loop}, {"me", Keyword::Me}, {"mod", Keyword::Mod}, {"new", Keyword::New},
            {"next", Keyword::Next}, {"not", Keyword::Not}, {"nothing", Keyword::Nothing}, {"null", Keyword::Null},
            {"on", Keyword::On}, {"option", Keyword::Option}, {"or", Keyword::Or}, {"preserve", Keyword::Preserve},
            {"private", Keyword::Private}, {"property", Keyword::Property}, {"public", Keyword::Public},
            {"redim", Keyword::ReDim}, {"resume", Keyword::Resume}, {"select", Keyword::Select},
            {"set", Keyword::Set}, {"step", Keyword::Step}, {"sub", Keyword::Sub}, {"then", Keyword::Then},
            {"to", Keyword::To}, {"true", Keyword::True}, {"until", Keyword::Until}, {"wend", Keyword::Wend},
            {"while", Keyword::While}, {"with", Keyword::With}, {"xor", Keyword::Xor},
        };
        QHash<QString, Keyword> t;
        for (const Entry &e : entries)
            t.insert(QString::fromLatin1(e.name), e.keyword);
        return t;
    }();
    return table;
}

bool isIdentStart(QChar c)
{
    return c.isLetter();
}

bool isIdentPart(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QChar(0xA0) || c == QChar(0x3000) ||
           c == QChar(0xFEFF) || c == QChar(0);
}

// Reads a date literal's text: month/day/year or year-month-day, with an
// optional time of day, or a time alone.
bool parseDateLiteral(const QString &text, double *serial)
{
    QString t = text.trimmed();
    QDate date;
    QTime time;
    bool hasDate = false, hasTime = false;
    const QStringList parts = t.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    int i = 0;
    if (i < parts.size() && (parts[i].contains(QLatin1Char('/')) || parts[i].count(QLatin1Char('-')) == 2)) {
        const QChar sep = parts[i].contains(QLatin1Char('/')) ? QLatin1Char('/') : QLatin1Char('-');
        const QStringList f = parts[i].split(sep);
        if (f.size() != 3)
            return false;
        bool ok1 = false, ok2 = false, ok3 = false;
        int a = f[0].toInt(&ok1), b = f[1].toInt(&ok2), c = f[2].toInt(&ok3);
        if (!ok1 || !ok2 || !ok3)
            return false;
        if (f[0].size() == 4)
            date = QDate(a, b, c);
        else {
            if (c < 100)
                c += c < 30 ? 2000 : 1900;
            date = QDate(c, a, b);
        }
        if (!date.isValid())
            return false;
        hasDate = true;
        ++i;
    }
    if (i < parts.size()) {
        QString tt = parts[i++];
        bool pm = false, am = false;
        if (i < parts.size()) {
            pm = parts[i].compare(QLatin1String("PM"), Qt::CaseInsensitive) == 0;
            am = parts[i].compare(QLatin1String("AM"), Qt::CaseInsensitive) == 0;
            if (!pm && !am)
                return false;
            ++i;
        }
        const QStringList f = tt.split(QLatin1Char(':'));
        if (f.size() < 2 || f.size() > 3)
            return false;
        bool ok1 = false, ok2 = false, ok3 = true;
        int h = f[0].toInt(&ok1), m = f[1].toInt(&ok2), s = f.size() == 3 ? f[2].toInt(&ok3) : 0;
        if (!ok1 || !ok2 || !ok3)
            return false;
        if (pm && h < 12)
            h += 12;
        if (am && h == 12)
            h = 0;
        time = QTime(h, m, s);
        if (!time.isValid())
            return false;
        hasTime = true;
    }
    if (i != parts.size() || (!hasDate && !hasTime))
        return false;
    double days = hasDate ? double(QDate(1899, 12, 30).daysTo(date)) : 0.0;
    double fraction = hasTime ? time.msecsSinceStartOfDay() / 86400000.0 : 0.0;
    *serial = days >= 0 ? days + fraction : days - fraction;
    return true;
}

} // namespace

bool isContextWord(Keyword keyword)
{
    switch (keyword) {
    case Keyword::Default:
    case Keyword::Erase:
    case Keyword::Error:
    case Keyword::Explicit:
    case Keyword::Get:
    case Keyword::Preserve:
    case Keyword::Property:
    case Keyword::Resume:
    case Keyword::Step:
        return true;
    default:
        return false;
    }
}

Result<QVector<Token>> tokenize(const QString &source)
{
    QVector<Token> tokens;
    const int n = int(source.size());
    int i = 0, line = 1, lineStart = 0;
    bool space = false;
    auto atStatementStart = [&tokens] {
        return tokens.isEmpty() || tokens.last().kind == TokenKind::LineEnd || tokens.last().kind == TokenKind::Colon;
    };
    auto push = [&](TokenKind kind, int start) -> Token & {
        Token t;
        t.kind = kind;
        t.line = line;
        t.column = start - lineStart;
        t.spaceBefore = space;
        space = false;
        tokens.append(std::move(t));
        return tokens.last();
    };
    auto newline = [&](int at) {
        int len = (at + 1 < n && source[at] == QLatin1Char('\r') && source[at + 1] == QLatin1Char('\n')) ? 2 : 1;
        return at + len;
    };
    while (i < n) {
        const QChar c = source[i];
        if (isBlank(c)) {
            ++i;
            space = true;
            continue;
        }
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QChar(0x2028)) {
            if (tokens.isEmpty() || tokens.last().kind != TokenKind::LineEnd)
                push(TokenKind::LineEnd, i);
            i = newline(i);
            ++line;
            lineStart = i;
            continue;
        }
        if (c == QLatin1Char('\'')) {
            while (i < n && source[i] != QLatin1Char('\r') && source[i] != QLatin1Char('\n'))
                ++i;
            continue;
        }
        if (c == QLatin1Char('_') && (space || i == lineStart)) {
            // A line continuation: the underscore ends its line (blanks may follow).
            int j = i + 1;
            while (j < n && isBlank(source[j]))
                ++j;
            if (j >= n || source[j] == QLatin1Char('\r') || source[j] == QLatin1Char('\n')) {
                if (j < n) {
                    i = newline(j);
                    ++line;
                    lineStart = i;
                } else {
                    i = j;
                }
                space = true;
                continue;
            }
            return compileError(ErrorNumber::InvalidCharacter, line, i - lineStart);
        }
        const int start = i;
        if (c == QLatin1Char(':')) {
            push(TokenKind::Colon, start);
            ++i;
            continue;
        }
        if (isIdentStart(c)) {
            while (i < n && isIdentPart(source[i]))
                ++i;
            const QString word = source.mid(start, i - start);
            if (word.size() > 255)
                return compileError(ErrorNumber::IdentifierTooLong, line, start - lineStart);
            const Keyword kw = keywords().value(word.toLower(), Keyword::None);
            if (word.compare(QLatin1String("rem"), Qt::CaseInsensitive) == 0 && atStatementStart()) {
                while (i < n && source[i] != QLatin1Char('\r') && source[i] != QLatin1Char('\n'))
                    ++i;
                continue;
            }
            Token &t = push(TokenKind::Name, start);
            t.text = word;
            t.keyword = kw;
            continue;
        }
        if (c == QLatin1Char('[')) {
            int j = i + 1;
            while (j < n && source[j] != QLatin1Char(']') && source[j] != QLatin1Char('\r') &&
                   source[j] != QLatin1Char('\n'))
                ++j;
            if (j >= n || source[j] != QLatin1Char(']'))
                return compileError(ErrorNumber::ExpectedCloseBracket, line, start - lineStart);
            Token &t = push(TokenKind::Name, start);
            t.text = source.mid(i + 1, j - i - 1);
            i = j + 1;
            continue;
        }
        if (c == QLatin1Char('"')) {
            QString text;
            ++i;
            for (;;) {
                if (i >= n || source[i] == QLatin1Char('\r') || source[i] == QLatin1Char('\n'))
                    return compileError(ErrorNumber::UnterminatedString, line, start - lineStart);
                if (source[i] == QLatin1Char('"')) {
                    if (i + 1 < n && source[i + 1] == QLatin1Char('"')) {
                        text += QLatin1Char('"');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                text += source[i++];
            }
            Token &t = push(TokenKind::Literal, start);
            t.value = Variant(std::move(text));
            continue;
        }
        if (c == QLatin1Char('#')) {
            int j = i + 1;
            while (j < n && source[j] != QLatin1Char('#') && source[j] != QLatin1Char('\r') &&
                   source[j] != QLatin1Char('\n'))
                ++j;
            double serial = 0;
            if (j >= n || source[j] != QLatin1Char('#') || !parseDateLiteral(source.mid(i + 1, j - i - 1), &serial))
                return compileError(ErrorNumber::SyntaxError, line, start - lineStart);
            Token &t = push(TokenKind::Literal, start);
            t.value = Variant::fromDate(serial);
            i = j + 1;
            continue;
        }
        const bool dotStartsNumber = c == QLatin1Char('.') && i + 1 < n && source[i + 1].isDigit() &&
                                     (space || tokens.isEmpty() || tokens.last().kind != TokenKind::Name);
        if ((c.isDigit() && c.unicode() < 128) || dotStartsNumber) {
            bool isFloat = false;
            while (i < n && source[i].isDigit() && source[i].unicode() < 128)
                ++i;
            if (i < n && source[i] == QLatin1Char('.')) {
                isFloat = true;
                ++i;
                while (i < n && source[i].isDigit() && source[i].unicode() < 128)
                    ++i;
            }
            if (i < n && (source[i] == QLatin1Char('e') || source[i] == QLatin1Char('E'))) {
                int j = i + 1;
                if (j < n && (source[j] == QLatin1Char('+') || source[j] == QLatin1Char('-')))
                    ++j;
                if (j < n && source[j].isDigit()) {
                    isFloat = true;
                    i = j;
                    while (i < n && source[i].isDigit() && source[i].unicode() < 128)
                        ++i;
                }
            }
            if (i < n && isIdentPart(source[i]))
                return compileError(ErrorNumber::ExpectedEndOfStatement, line, i - lineStart);
            bool ok = false;
            const double v = source.mid(start, i - start).toDouble(&ok);
            if (!ok || !std::isfinite(v))
                return compileError(ErrorNumber::InvalidNumber, line, start - lineStart);
            Token &t = push(TokenKind::Literal, start);
            if (!isFloat && v <= 32767)
                t.value = Variant::fromInteger(qint16(v));
            else if (!isFloat && v <= 2147483647.0)
                t.value = Variant::fromLong(qint32(v));
            else
                t.value = Variant::fromDouble(v);
            continue;
        }
        if (c == QLatin1Char('&') && i + 1 < n &&
            (source[i + 1].toUpper() == QLatin1Char('H') || source[i + 1].toUpper() == QLatin1Char('O') ||
             (source[i + 1].isDigit() && source[i + 1].unicode() < 128))) {
            const bool hex = source[i + 1].toUpper() == QLatin1Char('H');
            int j = source[i + 1].isDigit() ? i + 1 : i + 2;
            const int digitsStart = j;
            while (j < n && (hex ? isxdigit(source[j].unicode() < 128 ? source[j].toLatin1() : 'x') != 0
                                 : (source[j] >= QLatin1Char('0') && source[j] <= QLatin1Char('7'))))
                ++j;
            const QString digits = source.mid(digitsStart, j - digitsStart);
            bool ok = false;
            const quint64 raw = digits.toULongLong(&ok, hex ? 16 : 8);
            if (digits.isEmpty() || !ok || raw > 0xFFFFFFFFull)
                return compileError(ErrorNumber::InvalidNumber, line, start - lineStart);
            if (j < n && source[j] == QLatin1Char('&'))
                ++j; // the Long type mark
            Token &t = push(TokenKind::Literal, start);
            if (raw <= 0xFFFF && digits.size() <= (hex ? 4 : 6))
                t.value = Variant::fromInteger(qint16(quint16(raw)));
            else
                t.value = Variant::fromLong(qint32(quint32(raw)));
            i = j;
            continue;
        }
        static const QString twoChar[] = {QStringLiteral("<="), QStringLiteral(">="), QStringLiteral("<>")};
        bool matched = false;
        for (const QString &p : twoChar) {
            if (source.mid(i, 2) == p) {
                Token &t = push(TokenKind::Punct, start);
                t.text = p;
                i += 2;
                matched = true;
                break;
            }
        }
        if (matched)
            continue;
        if (QStringLiteral("()=<>+-*/\\^&,.").contains(c)) {
            Token &t = push(TokenKind::Punct, start);
            t.text = QString(c);
            ++i;
            continue;
        }
        return compileError(ErrorNumber::InvalidCharacter, line, start - lineStart);
    }
    Token &t = push(TokenKind::End, i);
    (void)t;
    return tokens;
}

} // namespace sorvane::vb
