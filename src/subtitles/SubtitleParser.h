#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace sorvane {

class StringPool;

// One parsed cue block: its start and end second of the day (milliseconds
// dropped) and its HTML in file line order and with the two lines swapped.
struct Cue {
    int start = 0;
    int end = 0;
    QString normal;
    QString swapped;
};

// A cue block's two text lines as the cue tables keep them: either order of
// its HTML is made from them when it is read. Lines that need the general
// joining rules (line breaks inside them) are kept as the two finished orders.
struct CueLines {
    int start = 0;
    int end = 0;
    QString first;  // first text line, or the finished HTML in file line order
    QString second; // second text line, or the finished HTML with the lines swapped
    bool firstEnglish = false;
    bool secondEnglish = false;
    bool finished = false;
};

// Reads SRT cue blocks. A block is lines separated by CR LF: a first line
// that is ignored, the time line, two text lines; later lines are ignored.
// Hand-written scanners give exactly the results of the patterns named at
// each function, which the parser would otherwise run for every block.
//
// The loader uses parseLines() and cueHtml() only, whose scanners do several
// rules in one pass. parseBlock(), textLine(), isTimeLine(), cueTimes(),
// stripCodes() and joinLines() state the rules one at a time: they exist for
// the tests and the fuzz target, which hold the fused scanners to them.
class SubtitleParser {
public:
    // `englishStyle`: inline CSS for text lines without Chinese characters;
    // empty for none.
    explicit SubtitleParser(QString englishStyle);

    // The cue of one block; nullopt when its second line is not a time line
    // or holds a time that is not a valid time of day.
    std::optional<Cue> parseBlock(QStringView block) const;
    // The same cue with its lines kept apart, made in `pool` when one is
    // given; cueHtml() makes its texts.
    std::optional<CueLines> parseLines(QStringView block, StringPool *pool = nullptr) const;
    // The HTML of a cue from parseLines(), in file line order or swapped.
    QString cueHtml(const CueLines &cue, bool swapped) const;
    // A text line with override codes and tags removed and, when it has no
    // Chinese characters, wrapped in the English style.
    QString textLine(QStringView line) const;

    // \s as the scripts' pattern dialect reads it.
    static bool isSpace(char16_t c);
    // Without leading and trailing white space and NULs (pattern ^[\s\0]+|[\s\0]+$).
    static QStringView trimmed(QStringView text);
    // ^\s*\d{1,2}:\d{1,2}:\d{1,2},\d{1,3}\s*-->\s*\d{1,2}:\d{1,2}:\d{1,2},\d{1,3}\s*$
    static bool isTimeLine(QStringView line);
    // Start and end second of a time line that passed isTimeLine; nullopt
    // when either is not a valid time of day.
    static std::optional<std::pair<int, int>> cueTimes(QStringView timeLine);
    // Removes each brace group of non-space, non-brace characters ({\an8},
    // {\pos(10,20)}) and each tag from "<" to the next ">" with at least one
    // character between, in one pass from left to right.
    static QString stripCodes(QStringView line);
    // ^[^\u4E00-\u9FA5]+$: at least one character, none of them Chinese.
    static bool hasNoChinese(QStringView line);
    // first + CR LF + second, trimmed, each run of CR/LF characters as <br>.
    static QString joinLines(QStringView first, QStringView second);
    // Trimmed, and every run of three or more CR/LF characters as one blank
    // line (CR LF CR LF); a single line break stays.
    static QString normalise(QStringView text);
    // The same, returning `text` itself when it is already in that form, and
    // trimming it in place when that is all it needs and nothing else shares
    // it (a file that ends with a line break): a large file is then not
    // copied once more.
    static QString normalise(QString text);

private:
    QString m_english;
    // The English span's opening tag, and whether it holds a CR or LF.
    QString m_open;
    bool m_openBreaks = false;
};

// The blocks of a text split on CR LF CR LF, left to right; an empty text
// has no blocks.
class BlockSplitter {
public:
    explicit BlockSplitter(QStringView text) : m_text(text), m_done(text.isEmpty()) {}
    // Number of blocks, counted without splitting.
    static qsizetype count(QStringView text);
    bool next(QStringView &block);

private:
    QStringView m_text;
    qsizetype m_at = 0;
    bool m_done;
};

} // namespace sorvane
