#pragma once

#include <QByteArray>
#include <QString>

namespace sorvane {

// Names the character set of a file that has no byte-order mark and is not
// UTF-8. The answer is a name iconv knows, or "GB2312" (read as GB18030)
// whenever the evidence is weak or points at simplified Chinese, so that a
// Chinese GBK file is always read as it always was.
//
// Only the first `kSampleSize` bytes are looked at: a big file costs no more
// than a small one.
class CharsetDetector {
public:
    static constexpr qsizetype kSampleSize = 256 * 1024;

    static QString detect(const QByteArray &bytes);

    // "UTF-16LE" or "UTF-16BE" for UTF-16 text without a mark, recognised by
    // its zero bytes (ASCII characters, digits and line ends have one in
    // every other byte); empty otherwise.
    static QString markless16(const QByteArray &bytes);
};

} // namespace sorvane
