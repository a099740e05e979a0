#include "scripting/vbscript/VbLexer.h"

#include "scripting/vbscript/VbCompileError.h"
#include "text/TextUtilities.h"

#include <QDate>
#include <QHash>
#include <QTime>

#include <cmath>
#include <cstdlib>
#include <utility>

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

// Reads source text into tokens. Each reader starts at the token's first
// character and leaves the position after it; a fault is the compile error
// that ends the list.
class Lexer {
public:
    explicit Lexer(const QString &source) : m_source(source), m_n(int(source.size())) {}

    Result<QVector<Token>> run()
    {
        while (m_i < m_n) {
            const QChar c = m_source[m_i];
            if (isBlank(c)) {
                ++m_i;
                m_space = true;
            } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QChar(0x2028)) {
                lineEnd();
            } else if (c == QLatin1Char('\'')) {
                skipToLineEnd();
            } else if (c == QLatin1Char('_')) {
                // Names take their underscores, so one here stands alone.
                TRY(lineContinuation());
            } else {
                TRY(token(c));
            }
        }
        push(TokenKind::End, m_i);
        return std::move(m_tokens);
    }

private:
    QChar at(int i) const { return m_source[i]; }
    bool isLineBreakAt(int i) const { return at(i) == QLatin1Char('\r') || at(i) == QLatin1Char('\n'); }
    bool isAsciiDigitAt(int i) const { return at(i).isDigit() && at(i).unicode() < 128; }

    ScriptError faultAt(ErrorNumber number, int start) const
    {
        return compileError(number, m_line, start - m_lineStart);
    }

    bool atStatementStart() const
    {
        return m_tokens.isEmpty() || m_tokens.last().kind == TokenKind::LineEnd ||
               m_tokens.last().kind == TokenKind::Colon;
    }

    Token &push(TokenKind kind, int start)
    {
        Token t;
        t.kind = kind;
        t.line = m_line;
        t.column = start - m_lineStart;
        t.spaceBefore = m_space;
        m_space = false;
        m_tokens.append(std::move(t));
        return m_tokens.last();
    }

    // Moves past the line break at `breakAt` (CR LF counts as one) to the
    // next line.
    void nextLine(int breakAt)
    {
        const bool crLf =
            breakAt + 1 < m_n && at(breakAt) == QLatin1Char('\r') && at(breakAt + 1) == QLatin1Char('\n');
        m_i = breakAt + (crLf ? 2 : 1);
        ++m_line;
        m_lineStart = m_i;
    }

    void lineEnd()
    {
        if (m_tokens.isEmpty() || m_tokens.last().kind != TokenKind::LineEnd)
            push(TokenKind::LineEnd, m_i);
        nextLine(m_i);
    }

    void skipToLineEnd()
    {
        while (m_i < m_n && !isLineBreakAt(m_i))
            ++m_i;
    }

    // A line continuation: the underscore ends its line (blanks may follow).
    Status lineContinuation()
    {
        int j = m_i + 1;
        while (j < m_n && isBlank(at(j)))
            ++j;
        if (j < m_n && !isLineBreakAt(j))
            return faultAt(ErrorNumber::InvalidCharacter, m_i);
        if (j < m_n)
            nextLine(j);
        else
            m_i = j;
        m_space = true;
        return {};
    }

    Status token(QChar c)
    {
        const int start = m_i;
        if (c == QLatin1Char(':')) {
            push(TokenKind::Colon, start);
            ++m_i;
            return {};
        }
        if (isIdentStart(c))
            return word(start);
        if (c == QLatin1Char('['))
            return bracketedName(start);
        if (c == QLatin1Char('"'))
            return stringLiteral(start);
        if (c == QLatin1Char('#'))
            return dateLiteral(start);
        const bool dotStartsNumber = c == QLatin1Char('.') && m_i + 1 < m_n && at(m_i + 1).isDigit() &&
                                     (m_space || m_tokens.isEmpty() || m_tokens.last().kind != TokenKind::Name);
        if ((c.isDigit() && c.unicode() < 128) || dotStartsNumber)
            return decimalNumber(start);
        if (c == QLatin1Char('&') && startsRadixNumber())
            return radixNumber(start);
        return punctuation(start);
    }

    int radixDigitsEnd(int from, bool hex) const
    {
        int j = from;
        while (j < m_n && (hex ? isxdigit(at(j).unicode() < 128 ? at(j).toLatin1() : 'x') != 0
                               : (at(j) >= QLatin1Char('0') && at(j) <= QLatin1Char('7'))))
            ++j;
        return j;
    }

    // `&H1F`, `&O17` or `&17`; `"a" &hn` with no digits after the letter, or
    // a name running on after them, joins texts instead.
    bool startsRadixNumber() const
    {
        if (m_i + 1 >= m_n)
            return false;
        if (isAsciiDigitAt(m_i + 1))
            return true;
        const QChar letter = at(m_i + 1).toUpper();
        if (letter != QLatin1Char('H') && letter != QLatin1Char('O'))
            return false;
        const int end = radixDigitsEnd(m_i + 2, letter == QLatin1Char('H'));
        return end > m_i + 2 && (end >= m_n || !isIdentPart(at(end)));
    }

    // A name or keyword; Rem at a statement's start is a comment.
    Status word(int start)
    {
        while (m_i < m_n && isIdentPart(at(m_i)))
            ++m_i;
        const QString word = m_source.mid(start, m_i - start);
        if (word.size() > 255)
            return faultAt(ErrorNumber::IdentifierTooLong, start);
        const Keyword kw = keywords().value(word.toLower(), Keyword::None);
        if (word.compare(QLatin1String("rem"), Qt::CaseInsensitive) == 0 && atStatementStart()) {
            skipToLineEnd();
            return {};
        }
        Token &t = push(TokenKind::Name, start);
        t.text = word;
        t.keyword = kw;
        return {};
    }

    // [any name]: a name written with characters a plain name cannot have.
    Status bracketedName(int start)
    {
        int j = m_i + 1;
        while (j < m_n && at(j) != QLatin1Char(']') && !isLineBreakAt(j))
            ++j;
        if (j >= m_n || at(j) != QLatin1Char(']'))
            return faultAt(ErrorNumber::ExpectedCloseBracket, start);
        Token &t = push(TokenKind::Name, start);
        t.text = m_source.mid(m_i + 1, j - m_i - 1);
        m_i = j + 1;
        return {};
    }

    // "text", with "" for a quote inside it; it ends on its own line.
    Status stringLiteral(int start)
    {
        QString text;
        ++m_i;
        for (;;) {
            if (m_i >= m_n || isLineBreakAt(m_i))
                return faultAt(ErrorNumber::UnterminatedString, start);
            if (at(m_i) == QLatin1Char('"')) {
                if (m_i + 1 < m_n && at(m_i + 1) == QLatin1Char('"')) {
                    text += QLatin1Char('"');
                    m_i += 2;
                    continue;
                }
                ++m_i;
                break;
            }
            text += at(m_i++);
        }
        Token &t = push(TokenKind::Literal, start);
        t.value = Variant(std::move(text));
        return {};
    }

    // #date#
    Status dateLiteral(int start)
    {
        int j = m_i + 1;
        while (j < m_n && at(j) != QLatin1Char('#') && !isLineBreakAt(j))
            ++j;
        double serial = 0;
        if (j >= m_n || at(j) != QLatin1Char('#') || !parseDateLiteral(m_source.mid(m_i + 1, j - m_i - 1), &serial))
            return faultAt(ErrorNumber::SyntaxError, start);
        Token &t = push(TokenKind::Literal, start);
        t.value = Variant::fromDate(serial);
        m_i = j + 1;
        return {};
    }

    // Digits with a fraction and exponent as written: an Integer, a Long,
    // or a Double when it has either or is too large for a Long.
    Status decimalNumber(int start)
    {
        bool isFloat = false;
        while (m_i < m_n && isAsciiDigitAt(m_i))
            ++m_i;
        if (m_i < m_n && at(m_i) == QLatin1Char('.')) {
            isFloat = true;
            ++m_i;
            while (m_i < m_n && isAsciiDigitAt(m_i))
                ++m_i;
        }
        if (m_i < m_n && (at(m_i) == QLatin1Char('e') || at(m_i) == QLatin1Char('E'))) {
            int j = m_i + 1;
            if (j < m_n && (at(j) == QLatin1Char('+') || at(j) == QLatin1Char('-')))
                ++j;
            if (j < m_n && at(j).isDigit()) {
                isFloat = true;
                m_i = j;
                while (m_i < m_n && isAsciiDigitAt(m_i))
                    ++m_i;
            }
        }
        if (m_i < m_n && isIdentPart(at(m_i)))
            return faultAt(ErrorNumber::ExpectedEndOfStatement, m_i);
        // Too small a number is zero; too large one is no number.
        const QByteArray digits = m_source.mid(start, m_i - start).toLatin1();
        const double v = TextUtilities::parseCNumber(digits.constData());
        if (!std::isfinite(v))
            return faultAt(ErrorNumber::InvalidNumber, start);
        Token &t = push(TokenKind::Literal, start);
        if (!isFloat && v <= 32767)
            t.value = Variant::fromInteger(qint16(v));
        else if (!isFloat && v <= 2147483647.0)
            t.value = Variant::fromLong(qint32(v));
        else
            t.value = Variant::fromDouble(v);
        return {};
    }

    // &H hexadecimal or &O (or plain &) octal. With the & Long mark it is a
    // Long of the digits' value; without, the digits are 16 bits when there
    // are few enough of them, else 32, and the value takes the smallest kind
    // that holds it (&HFFFF and &HFFFFFFFF are both the Integer -1).
    Status radixNumber(int start)
    {
        const bool hex = at(m_i + 1).toUpper() == QLatin1Char('H');
        const int digitsStart = at(m_i + 1).isDigit() ? m_i + 1 : m_i + 2;
        int j = radixDigitsEnd(digitsStart, hex);
        const QString digits = m_source.mid(digitsStart, j - digitsStart);
        bool ok = false;
        const quint64 raw = digits.toULongLong(&ok, hex ? 16 : 8);
        if (digits.isEmpty() || !ok || raw > 0xFFFFFFFFull)
            return faultAt(ErrorNumber::InvalidNumber, start);
        const bool longMark = j < m_n && at(j) == QLatin1Char('&');
        if (longMark)
            ++j;
        Token &t = push(TokenKind::Literal, start);
        const qint32 value = raw <= 0xFFFF && digits.size() <= (hex ? 4 : 6) && !longMark ? qint16(quint16(raw))
                                                                                          : qint32(quint32(raw));
        if (longMark)
            t.value = Variant::fromLong(qint32(raw));
        else if (value >= -32768 && value <= 32767)
            t.value = Variant::fromInteger(qint16(value));
        else
            t.value = Variant::fromLong(value);
        m_i = j;
        return {};
    }

    Status punctuation(int start)
    {
        // =<, => and >< are older spellings of the same comparisons.
        static const std::pair<QString, QString> twoChar[] = {
            {QStringLiteral("<="), QStringLiteral("<=")}, {QStringLiteral(">="), QStringLiteral(">=")},
            {QStringLiteral("<>"), QStringLiteral("<>")}, {QStringLiteral("=<"), QStringLiteral("<=")},
            {QStringLiteral("=>"), QStringLiteral(">=")}, {QStringLiteral("><"), QStringLiteral("<>")}};
        for (const auto &[spelling, p] : twoChar) {
            if (QStringView(m_source).mid(m_i, 2) == spelling) {
                Token &t = push(TokenKind::Punct, start);
                t.text = p;
                m_i += 2;
                return {};
            }
        }
        const QChar c = at(m_i);
        if (QStringLiteral("()=<>+-*/\\^&,.").contains(c)) {
            Token &t = push(TokenKind::Punct, start);
            t.text = QString(c);
            ++m_i;
            return {};
        }
        return faultAt(ErrorNumber::InvalidCharacter, start);
    }

    const QString &m_source;
    const int m_n;
    QVector<Token> m_tokens;
    int m_i = 0;
    int m_line = 1;
    int m_lineStart = 0;
    bool m_space = false; // blanks since the last token
};

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
    return Lexer(source).run();
}

} // namespace sorvane::vb
