#include "subtitles/SubtitleParser.h"

#include "subtitles/TimeKey.h"
#include "text/StringPool.h"

#include <QVarLengthArray>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>

namespace sorvane {
namespace {

constexpr char16_t kBlockSeparator[] = u"\r\n\r\n";

// The next CR at or after `at`, or -1: eight characters at a time where
// the processor allows, since lines and blocks are searched this way
// character by character otherwise.
inline qsizetype nextCr(const char16_t *p, qsizetype at, qsizetype n)
{
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi16(short(u'\r'));
    for (; at + 8 <= n; at += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + at));
        if (const int mask = _mm_movemask_epi8(_mm_cmpeq_epi16(v, cr)))
            return at + (__builtin_ctz(unsigned(mask)) >> 1);
    }
#endif
    for (; at < n; ++at)
        if (p[at] == u'\r')
            return at;
    return -1;
}

// The first CR LF (or CR LF CR LF when `blank`) at or after `from`, as
// indexOf() of that text finds it.
qsizetype findBreak(QStringView s, qsizetype from, bool blank)
{
    const qsizetype need = blank ? 4 : 2;
    if (from < 0)
        from = 0;
    const char16_t *p = s.utf16();
    const qsizetype n = s.size();
    for (qsizetype at = nextCr(p, from, n); at >= 0; at = nextCr(p, at + 1, n)) {
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

// One stamp of the shape timeStamp() accepts, read in the same scan;
// `seconds` is its second of the day, or -1 when its fields are not a valid
// time of day.
bool readStamp(QStringView s, qsizetype &at, int &seconds)
{
    const char16_t *p = s.utf16();
    const qsizetype n = s.size();
    int field[3] = {0, 0, 0};
    for (int i = 0; i < 3; ++i) {
        const qsizetype start = at;
        int value = 0;
        for (; at < n && isDigit(p[at]); ++at)
            if (at - start < 2)
                value = value * 10 + (p[at] - u'0');
        if (at - start < 1 || at - start > 2 || at >= n || p[at] != (i < 2 ? u':' : u','))
            return false;
        ++at;
        field[i] = value;
    }
    const qsizetype millis = at;
    while (at < n && isDigit(p[at]))
        ++at;
    if (at - millis < 1 || at - millis > 3)
        return false;
    seconds = field[0] > 23 || field[1] > 59 || field[2] > 59 ? -1 : field[0] * 3600 + field[1] * 60 + field[2];
    return true;
}

// Seconds of the day of "hh:mm:ss" at `p`, whose characters are known to
// be digits where digits belong; -1 when not a valid time of day.
int fixedStamp(const char16_t *p)
{
    const int h = (p[0] - u'0') * 10 + (p[1] - u'0');
    const int m = (p[3] - u'0') * 10 + (p[4] - u'0');
    const int s = (p[6] - u'0') * 10 + (p[7] - u'0');
    return h > 23 || m > 59 || s > 59 ? -1 : h * 3600 + m * 60 + s;
}

// isTimeLine() and cueTimes() in one scan.
std::optional<std::pair<int, int>> readTimeLine(QStringView line)
{
    // Almost every time line is exactly "hh:mm:ss,mmm --> hh:mm:ss,mmm".
    static constexpr char16_t kShape[] = u"00:00:00,000 --> 00:00:00,000";
    if (line.size() == qsizetype(std::size(kShape)) - 1) {
        const char16_t *p = line.utf16();
        bool fits = true;
        for (qsizetype i = 0; i < line.size(); ++i)
            fits &= kShape[i] == u'0' ? isDigit(p[i]) : p[i] == kShape[i];
        if (fits) {
            const int start = fixedStamp(p), end = fixedStamp(p + 17);
            if (start < 0 || end < 0)
                return std::nullopt;
            return std::make_pair(start, end);
        }
    }
    qsizetype at = 0;
    int start = -1, end = -1;
    skipSpaces(line, at);
    if (!readStamp(line, at, start))
        return std::nullopt;
    skipSpaces(line, at);
    if (!literal(line, at, u"-->"))
        return std::nullopt;
    skipSpaces(line, at);
    if (!readStamp(line, at, end))
        return std::nullopt;
    skipSpaces(line, at);
    if (at != line.size() || start < 0 || end < 0)
        return std::nullopt;
    return std::make_pair(start, end);
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

namespace {

using LineBuffer = QVarLengthArray<char16_t, 256>;

// stripCodes() without a string of its own: the line itself when nothing
// is removed, else what is left, written to `buffer`.
QStringView withoutCodes(QStringView line, LineBuffer &buffer)
{
    qsizetype copied = 0; // start of the text not yet copied
    bool removed = false;
    const qsizetype n = line.size();
    const char16_t *p = line.utf16();
    for (qsizetype at = 0; at < n;) {
        const char16_t c = p[at];
        qsizetype matchEnd = -1;
        if (c == u'{') {
            qsizetype i = at + 1;
            while (i < n && p[i] != u'{' && p[i] != u'}' && !SubtitleParser::isSpace(p[i]))
                ++i;
            if (i > at + 1 && i < n && p[i] == u'}')
                matchEnd = i + 1;
        } else if (c == u'<' && at + 1 < n && p[at + 1] != u'>') {
            const qsizetype close = line.indexOf(u'>', at + 2);
            if (close >= 0)
                matchEnd = close + 1;
        }
        if (matchEnd < 0) {
            ++at;
            continue;
        }
        if (!removed) {
            buffer.clear();
            buffer.reserve(n);
            removed = true;
        }
        buffer.append(p + copied, at - copied);
        at = copied = matchEnd;
    }
    if (!removed)
        return line;
    buffer.append(p + copied, n - copied);
    return QStringView(buffer.data(), buffer.size());
}

} // namespace

QString SubtitleParser::stripCodes(QStringView line)
{
    LineBuffer buffer;
    return withoutCodes(line, buffer).toString();
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

QStringView trimLeft(QStringView s)
{
    qsizetype begin = 0;
    while (begin < s.size() && trims(s[begin].unicode()))
        ++begin;
    return s.mid(begin);
}

QStringView trimRight(QStringView s)
{
    qsizetype end = s.size();
    while (end > 0 && trims(s[end - 1].unicode()))
        --end;
    return s.left(end);
}

struct LineFacts {
    bool chinese = false;
    bool codes = false; // "{" or "<"
    bool breaks = false;
};

// What a line holds, in one pass, eight characters at a time where the
// processor allows.
LineFacts factsOf(QStringView line)
{
    const char16_t *p = line.utf16();
    const qsizetype n = line.size();
    qsizetype at = 0;
    LineFacts facts;
#if defined(__SSE2__)
    // Unsigned comparison through signed: both sides shifted by 0x8000.
    const __m128i chineseFrom = _mm_set1_epi16(short(0x4E00));
    const __m128i chineseSpan = _mm_set1_epi16(short((0x9FA5 - 0x4E00 + 1) ^ 0x8000));
    const __m128i flip = _mm_set1_epi16(short(0x8000));
    __m128i chinese = _mm_setzero_si128(), codes = _mm_setzero_si128(), breaks = _mm_setzero_si128();
    for (; at + 8 <= n; at += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + at));
        const __m128i offset = _mm_xor_si128(_mm_sub_epi16(v, chineseFrom), flip);
        chinese = _mm_or_si128(chinese, _mm_cmplt_epi16(offset, chineseSpan));
        codes = _mm_or_si128(codes, _mm_or_si128(_mm_cmpeq_epi16(v, _mm_set1_epi16(u'{')),
                                                 _mm_cmpeq_epi16(v, _mm_set1_epi16(u'<'))));
        breaks = _mm_or_si128(breaks, _mm_or_si128(_mm_cmpeq_epi16(v, _mm_set1_epi16(u'\r')),
                                                   _mm_cmpeq_epi16(v, _mm_set1_epi16(u'\n'))));
    }
    facts.chinese = _mm_movemask_epi8(chinese) != 0;
    facts.codes = _mm_movemask_epi8(codes) != 0;
    facts.breaks = _mm_movemask_epi8(breaks) != 0;
#endif
    for (; at < n; ++at) {
        const char16_t c = p[at];
        facts.chinese |= char16_t(c - 0x4E00) <= char16_t(0x9FA5 - 0x4E00);
        facts.codes |= (c == u'{') | (c == u'<');
        facts.breaks |= (c == u'\r') | (c == u'\n');
    }
    return facts;
}

// joinLines() for two lines without CR or LF: the joining CR LF is then the
// only run of breaks, and the trim either keeps it whole or removes it with
// a blank line beside it.
QString joinPlainLines(QStringView first, QStringView second)
{
    const QStringView left = trimLeft(first);
    const QStringView right = trimRight(second);
    if (left.isEmpty())
        return SubtitleParser::trimmed(right).toString();
    if (right.isEmpty())
        return SubtitleParser::trimmed(left).toString();
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

namespace {

// The next CR or LF at or after `at`, or n.
inline qsizetype nextBreak(const char16_t *p, qsizetype at, qsizetype n)
{
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi16(short(u'\r'));
    const __m128i lf = _mm_set1_epi16(short(u'\n'));
    for (; at + 8 <= n; at += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + at));
        const __m128i hit = _mm_or_si128(_mm_cmpeq_epi16(v, cr), _mm_cmpeq_epi16(v, lf));
        if (const int mask = _mm_movemask_epi8(hit))
            return at + (__builtin_ctz(unsigned(mask)) >> 1);
    }
#endif
    while (at < n && !isBreak(p[at]))
        ++at;
    return at;
}

// Whether every run of CR/LF characters is a single line break or CR LF CR LF.
bool breaksAreNormal(QStringView text)
{
    const char16_t *p = text.utf16();
    const qsizetype n = text.size();
    for (qsizetype at = nextBreak(p, 0, n); at < n; at = nextBreak(p, at, n)) {
        qsizetype end = at;
        while (end < n && isBreak(p[end]))
            ++end;
        if (end - at >= 3 && QStringView(p + at, end - at) != QStringView(kBlockSeparator))
            return false;
        at = end;
    }
    return true;
}

} // namespace

QString SubtitleParser::normalise(QString text)
{
    const QStringView body = trimmed(text);
    if (!breaksAreNormal(body))
        return normalise(QStringView(text));
    if (body.size() == text.size())
        return text;
    // Files usually end with a line break: then only the trim is left to
    // do, in place when the text is not shared.
    const qsizetype begin = body.utf16() - reinterpret_cast<const char16_t *>(text.constData());
    text.truncate(begin + body.size());
    text.remove(0, begin);
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

namespace {

constexpr QStringView kSpanClose = u"</span>";

// A text line as the cue shows it: its text, wrapped in the English span or
// not. A wrapped line starts with "<" and ends with ">", so trimming never
// reaches into the span.
struct Piece {
    QStringView open;
    QStringView text;
    QStringView close;
    bool breaks = false;

};

// `open`: the English span's opening tag, empty for no English style.
Piece pieceOf(QStringView line, LineBuffer &buffer, QStringView open, bool openBreaks)
{
    const LineFacts facts = factsOf(line);
    bool chinese = facts.chinese, codes = facts.codes, breaks = facts.breaks;
    Piece piece;
    piece.text = line;
    if (codes) {
        piece.text = withoutCodes(line, buffer);
        breaks = hasBreak(piece.text);
        // A tag may have held the only Chinese characters.
        chinese = !SubtitleParser::hasNoChinese(piece.text);
    }
    if (!open.isEmpty() && !piece.text.isEmpty() && !chinese) {
        piece.open = open;
        piece.close = kSpanClose;
        breaks |= openBreaks;
    }
    piece.breaks = breaks;
    return piece;
}

qsizetype sizeOf(std::initializer_list<QStringView> parts)
{
    qsizetype n = 0;
    for (QStringView part : parts)
        n += part.size();
    return n;
}

// The parts one after another, in a string of exactly their size (a cue's
// lines are kept for the whole load), made in `pool` when one is given.
QString concatenated(std::initializer_list<QStringView> parts, StringPool *pool = nullptr)
{
    char16_t *to = nullptr;
    QString out;
    if (pool) {
        out = pool->make(sizeOf(parts), to);
    } else {
        out = QString(sizeOf(parts), Qt::Uninitialized);
        to = reinterpret_cast<char16_t *>(out.data());
    }
    for (QStringView part : parts)
        to = std::copy(part.utf16(), part.utf16() + part.size(), to);
    return out;
}

QString textOf(const Piece &piece) { return concatenated({piece.open, piece.text, piece.close}); }

// joinPlainLines() of the two pieces' texts, without making those texts.
QString joinPieces(const Piece &first, const Piece &second)
{
    const QStringView firstText = first.open.isEmpty() ? trimLeft(first.text) : first.text;
    const QStringView secondText = second.close.isEmpty() ? trimRight(second.text) : second.text;
    if (first.open.isEmpty() && firstText.isEmpty())
        return concatenated({second.open, second.open.isEmpty() ? trimLeft(secondText) : secondText, second.close});
    if (second.open.isEmpty() && secondText.isEmpty())
        return concatenated({first.open, first.close.isEmpty() ? trimRight(firstText) : firstText, first.close});
    return concatenated({first.open, firstText, first.close, u"<br>", second.open, secondText, second.close});
}

} // namespace

SubtitleParser::SubtitleParser(QString englishStyle) : m_english(std::move(englishStyle))
{
    if (!m_english.isEmpty()) {
        m_open = QStringLiteral("<span style='") + m_english + QStringLiteral("'>");
        m_openBreaks = hasBreak(m_open);
    }
}

QString SubtitleParser::textLine(QStringView line) const
{
    LineBuffer buffer;
    return textOf(pieceOf(line, buffer, m_open, m_openBreaks));
}

std::optional<Cue> SubtitleParser::parseBlock(QStringView block) const
{
    std::optional<CueLines> lines = parseLines(block);
    if (!lines)
        return std::nullopt;
    return Cue{lines->start, lines->end, cueHtml(*lines, false), cueHtml(*lines, true)};
}

std::optional<CueLines> SubtitleParser::parseLines(QStringView block, StringPool *pool) const
{
    const BlockLines lines = splitLines(block);
    const std::optional<std::pair<int, int>> times = readTimeLine(lines.line[1]);
    if (!times)
        return std::nullopt;
    LineBuffer firstBuffer, secondBuffer;
    const Piece first = pieceOf(lines.line[2], firstBuffer, m_open, m_openBreaks);
    const Piece second = pieceOf(lines.line[3], secondBuffer, m_open, m_openBreaks);
    CueLines cue;
    cue.start = times->first;
    cue.end = times->second;
    if (!first.breaks && !second.breaks) {
        cue.first = concatenated({first.text}, pool);
        cue.second = concatenated({second.text}, pool);
        cue.firstEnglish = !first.open.isEmpty();
        cue.secondEnglish = !second.open.isEmpty();
        return cue;
    }
    const QString a = textOf(first), b = textOf(second);
    cue.first = joinLines(a, b);
    cue.second = joinLines(b, a);
    cue.finished = true;
    return cue;
}

QString SubtitleParser::cueHtml(const CueLines &cue, bool swapped) const
{
    if (cue.finished)
        return swapped ? cue.second : cue.first;
    auto piece = [this](const QString &text, bool english) {
        Piece p;
        p.text = text;
        if (english) {
            p.open = m_open;
            p.close = kSpanClose;
        }
        return p;
    };
    const Piece first = piece(cue.first, cue.firstEnglish), second = piece(cue.second, cue.secondEnglish);
    return swapped ? joinPieces(second, first) : joinPieces(first, second);
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
