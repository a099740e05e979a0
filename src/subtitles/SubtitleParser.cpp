#include "subtitles/SubtitleParser.h"

#include "subtitles/TimeKey.h"

#include <QVarLengthArray>

#include <algorithm>

namespace sorvane {
namespace {

constexpr char16_t kBlockSeparator[] = u"\r\n\r\n";
constexpr char16_t kLineSeparator[] = u"\r\n";

// The first CR LF (or CR LF CR LF when `blank`) at or after `from`, as
// indexOf() of that text finds it, by a plain scan for CR: a cue's lines are
// too short for the library's searches to repay their set-up.
qsizetype findBreak(QStringView s, qsizetype from, bool blank)
{
    const qsizetype need = blank ? 4 : 2;
    if (from < 0)
        from = 0;
    const char16_t *p = s.utf16();
    const qsizetype n = s.size();
    for (qsizetype at = from; at < n; ++at) {
        if (p[at] != u'\r')
            continue;
        if (at + need > n)
            return -1;
        if (p[at + 1] == u'\n' && (!blank || (p[at + 2] == u'\r' && p[at + 3] == u'\n')))
            return at;
    }
    return -1;
}

inline bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
inline bool isBreak(char16_t c) { return c == u'\r' || c == u'\n'; }
inline bool isChinese(char16_t c) { return c >= 0x4E00 && c <= 0x9FA5; }

void skipSpaces(QStringView s, qsizetype &at)
{
    while (at < s.size() && SubtitleParser::isSpace(s[at].unicode()))
        ++at;
}

// A run of digits of the given length range, as \d{min,max} followed by a
// character that cannot be a digit.
bool digits(QStringView s, qsizetype &at, int min, int max)
{
    const qsizetype start = at;
    while (at < s.size() && isDigit(s[at].unicode()))
        ++at;
    const qsizetype n = at - start;
    return n >= min && n <= max;
}

bool literal(QStringView s, qsizetype &at, QStringView text)
{
    if (s.mid(at).startsWith(text)) {
        at += text.size();
        return true;
    }
    return false;
}

// \d{1,2}:\d{1,2}:\d{1,2},\d{1,3}
bool timeStamp(QStringView s, qsizetype &at)
{
    return digits(s, at, 1, 2) && literal(s, at, u":") && digits(s, at, 1, 2) && literal(s, at, u":") &&
           digits(s, at, 1, 2) && literal(s, at, u",") && digits(s, at, 1, 3);
}

// The lines a block is made of: the first four, padded with empty lines.
struct BlockLines {
    QStringView line[4];
};

BlockLines splitLines(QStringView block)
{
    BlockLines lines;
    qsizetype at = 0;
    for (int i = 0; i < 4; ++i) {
        const qsizetype end = findBreak(block, at, false);
        if (end < 0) {
            lines.line[i] = block.mid(at);
            break;
        }
        lines.line[i] = block.mid(at, end - at);
        at = end + 2;
    }
    return lines;
}

} // namespace

bool SubtitleParser::isSpace(char16_t c)
{
    switch (c) {
    case u'\t': case u'\n': case 0x0B: case 0x0C: case u'\r': case u' ':
    case 0x00A0: case 0x1680: case 0x2028: case 0x2029: case 0x202F: case 0x205F: case 0x3000: case 0xFEFF:
        return true;
    default:
        return c >= 0x2000 && c <= 0x200A;
    }
}

QStringView SubtitleParser::trimmed(QStringView text)
{
    qsizetype begin = 0, end = text.size();
    while (begin < end && (isSpace(text[begin].unicode()) || text[begin].unicode() == 0))
        ++begin;
    while (end > begin && (isSpace(text[end - 1].unicode()) || text[end - 1].unicode() == 0))
        --end;
    return text.mid(begin, end - begin);
}

bool SubtitleParser::isTimeLine(QStringView line)
{
    qsizetype at = 0;
    skipSpaces(line, at);
    if (!timeStamp(line, at))
        return false;
    skipSpaces(line, at);
    if (!literal(line, at, u"-->"))
        return false;
    skipSpaces(line, at);
    if (!timeStamp(line, at))
        return false;
    skipSpaces(line, at);
    return at == line.size();
}

std::optional<std::pair<int, int>> SubtitleParser::cueTimes(QStringView timeLine)
{
    // The line has the shape isTimeLine checked, so each stamp is three
    // fields of one or two digits and the milliseconds, which are dropped.
    qsizetype at = 0;
    auto stamp = [&]() -> std::optional<int> {
        skipSpaces(timeLine, at);
        int field[3] = {0, 0, 0};
        for (int &value : field) {
            while (at < timeLine.size() && isDigit(timeLine[at].unicode()))
                value = value * 10 + (timeLine[at++].unicode() - u'0');
            ++at; // the ':' or ','
        }
        while (at < timeLine.size() && isDigit(timeLine[at].unicode()))
            ++at;
        if (field[0] > 23 || field[1] > 59 || field[2] > 59)
            return std::nullopt;
        return field[0] * 3600 + field[1] * 60 + field[2];
    };
    const std::optional<int> start = stamp();
    skipSpaces(timeLine, at);
    at += 3; // "-->"
    const std::optional<int> end = stamp();
    if (!start || !end)
        return std::nullopt;
    return std::make_pair(*start, *end);
}

QString SubtitleParser::stripCodes(QStringView line)
{
    QString out;
    qsizetype copied = 0; // start of the text not yet copied
    const qsizetype n = line.size();
    for (qsizetype at = 0; at < n;) {
        const char16_t c = line[at].unicode();
        qsizetype matchEnd = -1;
        if (c == u'{') {
            qsizetype i = at + 1;
            while (i < n) {
                const char16_t d = line[i].unicode();
                if (d == u'{' || d == u'}' || isSpace(d))
                    break;
                ++i;
            }
            if (i > at + 1 && i < n && line[i] == u'}')
                matchEnd = i + 1;
        } else if (c == u'<' && at + 1 < n && line[at + 1] != u'>') {
            const qsizetype close = line.indexOf(u'>', at + 2);
            if (close >= 0)
                matchEnd = close + 1;
        }
        if (matchEnd < 0) {
            ++at;
            continue;
        }
        if (out.isNull())
            out.reserve(n);
        out += line.mid(copied, at - copied);
        at = copied = matchEnd;
    }
    if (copied == 0)
        return line.toString();
    out += line.mid(copied);
    return out;
}

bool SubtitleParser::hasNoChinese(QStringView line)
{
    if (line.isEmpty())
        return false;
    for (QChar c : line)
        if (isChinese(c.unicode()))
            return false;
    return true;
}

namespace {

bool hasBreak(QStringView s)
{
    bool found = false; // no early exit: the loop stays branch-free
    for (const char16_t *p = s.utf16(), *end = p + s.size(); p < end; ++p)
        found |= (*p == u'\r') | (*p == u'\n');
    return found;
}

bool trims(char16_t c)
{
    return SubtitleParser::isSpace(c) || c == 0;
}

// joinLines() for two lines without CR or LF: the joining CR LF is then the
// only run of breaks, and the trim either keeps it whole or removes it with
// a blank line beside it.
QString joinPlainLines(QStringView first, QStringView second)
{
    qsizetype firstBegin = 0;
    while (firstBegin < first.size() && trims(first[firstBegin].unicode()))
        ++firstBegin;
    qsizetype secondEnd = second.size();
    while (secondEnd > 0 && trims(second[secondEnd - 1].unicode()))
        --secondEnd;
    if (firstBegin == first.size())
        return SubtitleParser::trimmed(second.left(secondEnd)).toString();
    if (secondEnd == 0)
        return SubtitleParser::trimmed(first.mid(firstBegin)).toString();
    const QStringView left = first.mid(firstBegin);
    const QStringView right = second.left(secondEnd);
    QString out(left.size() + 4 + right.size(), Qt::Uninitialized);
    char16_t *to = reinterpret_cast<char16_t *>(out.data());
    to = std::copy(left.utf16(), left.utf16() + left.size(), to);
    to = std::copy_n(u"<br>", 4, to);
    std::copy(right.utf16(), right.utf16() + right.size(), to);
    return out;
}

} // namespace

QString SubtitleParser::joinLines(QStringView first, QStringView second)
{
    if (!hasBreak(first) && !hasBreak(second))
        return joinPlainLines(first, second);

    QVarLengthArray<char16_t, 512> joined(first.size() + 2 + second.size());
    char16_t *j = joined.data();
    std::copy(first.utf16(), first.utf16() + first.size(), j);
    j[first.size()] = u'\r';
    j[first.size() + 1] = u'\n';
    std::copy(second.utf16(), second.utf16() + second.size(), j + first.size() + 2);

    const char16_t *begin = joined.data();
    const char16_t *end = begin + joined.size();
    while (begin < end && trims(*begin))
        ++begin;
    while (end > begin && trims(end[-1]))
        --end;

    // Sized exactly: the cue tables keep this string for every second.
    qsizetype size = 0;
    for (const char16_t *p = begin; p < end;) {
        if (isBreak(*p)) {
            while (p < end && isBreak(*p))
                ++p;
            size += 4;
        } else {
            ++p;
            ++size;
        }
    }
    QString out(size, Qt::Uninitialized);
    char16_t *to = reinterpret_cast<char16_t *>(out.data());
    for (const char16_t *p = begin; p < end;) {
        if (isBreak(*p)) {
            while (p < end && isBreak(*p))
                ++p;
            to = std::copy_n(u"<br>", 4, to);
        } else {
            *to++ = *p++;
        }
    }
    return out;
}

QString SubtitleParser::normalise(const QString &text)
{
    if (trimmed(text).size() != text.size())
        return normalise(QStringView(text));
    const char16_t *p = reinterpret_cast<const char16_t *>(text.utf16());
    const qsizetype n = text.size();
    for (qsizetype at = 0; at < n;) {
        if (!isBreak(p[at])) {
            ++at;
            continue;
        }
        qsizetype end = at;
        while (end < n && isBreak(p[end]))
            ++end;
        if (end - at >= 3 && QStringView(p + at, end - at) != QStringView(kBlockSeparator))
            return normalise(QStringView(text));
        at = end;
    }
    return text;
}

QString SubtitleParser::normalise(QStringView text)
{
    const QStringView t = trimmed(text);
    QString out;
    out.reserve(t.size());
    qsizetype copied = 0;
    for (qsizetype at = 0; at < t.size();) {
        if (!isBreak(t[at].unicode())) {
            ++at;
            continue;
        }
        qsizetype end = at;
        while (end < t.size() && isBreak(t[end].unicode()))
            ++end;
        if (end - at >= 3) {
            out += t.mid(copied, at - copied);
            out += QStringView(kBlockSeparator);
            copied = end;
        }
        at = end;
    }
    out += t.mid(copied);
    return out;
}

QString SubtitleParser::textLine(QStringView line) const
{
    if (m_english.isEmpty())
        return stripCodes(line);
    auto wrap = [this](QStringView text) {
        static constexpr QStringView open = u"<span style='";
        static constexpr QStringView middle = u"'>";
        static constexpr QStringView close = u"</span>";
        QString out;
        out.reserve(open.size() + m_english.size() + middle.size() + text.size() + close.size());
        out.append(open).append(m_english).append(middle).append(text).append(close);
        return out;
    };
    // Removing codes adds no Chinese, so a line without any is English as
    // soon as something is left; one without codes is wrapped as it is.
    if (hasNoChinese(line)) {
        bool codes = false;
        for (const char16_t *p = line.utf16(), *end = p + line.size(); p < end; ++p)
            codes |= (*p == u'{') | (*p == u'<');
        if (!codes)
            return wrap(line);
        const QString text = stripCodes(line);
        return text.isEmpty() ? text : wrap(text);
    }
    const QString text = stripCodes(line);
    return hasNoChinese(text) ? wrap(text) : text;
}

std::optional<Cue> SubtitleParser::parseBlock(QStringView block) const
{
    const BlockLines lines = splitLines(block);
    if (!isTimeLine(lines.line[1]))
        return std::nullopt;
    const std::optional<std::pair<int, int>> times = cueTimes(lines.line[1]);
    if (!times)
        return std::nullopt;
    const QString first = textLine(lines.line[2]);
    const QString second = textLine(lines.line[3]);
    if (!hasBreak(first) && !hasBreak(second))
        return Cue{times->first, times->second, joinPlainLines(first, second), joinPlainLines(second, first)};
    return Cue{times->first, times->second, joinLines(first, second), joinLines(second, first)};
}

qsizetype BlockSplitter::count(QStringView text)
{
    if (text.isEmpty())
        return 0;
    qsizetype n = 1;
    for (qsizetype at = findBreak(text, 0, true); at >= 0; at = findBreak(text, at + 4, true))
        ++n;
    return n;
}

bool BlockSplitter::next(QStringView &block)
{
    if (m_done)
        return false;
    const qsizetype end = findBreak(m_text, m_at, true);
    if (end < 0) {
        block = m_text.mid(m_at);
        m_done = true;
        return true;
    }
    block = m_text.mid(m_at, end - m_at);
    m_at = end + 4;
    return true;
}

} // namespace sorvane
