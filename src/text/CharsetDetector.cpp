#include "text/CharsetDetector.h"

#include "text/CharsetConverter.h"

#include <uchardet/uchardet.h>

#include <algorithm>
#include <memory>

namespace sorvane {
namespace {

const QString kGb2312 = QStringLiteral("GB2312");
// Bytes outside ASCII needed before any set but GB2312 is chosen.
constexpr qsizetype kLeastEvidence = 8;

struct DetectorDeleter {
    void operator()(uchardet_t detector) const { uchardet_delete(detector); }
};

// The statistical detector's answer for the sample, in upper case; empty
// when it has none.
QByteArray guess(const char *data, qsizetype size)
{
    std::unique_ptr<struct uchardet, DetectorDeleter> detector(uchardet_new());
    if (!detector || uchardet_handle_data(detector.get(), data, size_t(size)) != 0)
        return {};
    uchardet_data_end(detector.get());
    const char *name = uchardet_get_charset(detector.get());
    return name ? QByteArray(name).toUpper() : QByteArray();
}

// The detector's names that mean simplified Chinese, or nothing found.
bool simplifiedChinese(const QByteArray &name)
{
    return name.isEmpty() || name == "GB18030" || name == "GB2312" || name == "GBK" || name == "HZ-GB-2312" ||
           name == "ISO-2022-CN" || name == "ASCII" || name.startsWith("UTF-");
}

// Sets with one byte a character: their guesses are the least certain, since
// any bytes at all are text in them.
bool singleByte(const QByteArray &name)
{
    return name.startsWith("WINDOWS-") || name.startsWith("ISO-8859-") || name.startsWith("KOI8") ||
           name.startsWith("IBM") || name.startsWith("MAC") || name.startsWith("VISCII") || name.startsWith("TIS-620");
}

// Whether the bytes read as GBK whose two-byte characters are nearly all in
// the GB2312 area (lead A1-F7, trail A1-FE), as Chinese text is. Text in a
// Western set seldom is: its accented letters stand beside ASCII.
bool looksLikeGb2312(const char *data, qsizetype size)
{
    qsizetype pairs = 0, inGb2312 = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const uchar lead = uchar(data[i]);
        if (lead < 0x80)
            continue;
        if (i + 1 >= size)
            break; // a character cut by the sample's end
        const uchar trail = uchar(data[i + 1]);
        if (lead == 0x80 || lead == 0xFF || trail < 0x40 || trail == 0x7F || trail == 0xFF)
            return false;
        ++pairs;
        if (lead >= 0xA1 && lead <= 0xF7 && trail >= 0xA1)
            ++inGb2312;
        ++i;
    }
    return pairs > 0 && inGb2312 * 10 >= pairs * 9;
}

// Whether the sample decodes in `name` without a byte that does not fit;
// a character cut by the sample's end does not count.
bool decodesCleanly(const char *data, qsizetype size, const QByteArray &name, bool cut)
{
    const qsizetype checked = cut ? std::max<qsizetype>(0, size - 4) : size;
    Result<CharsetConverter::Decoded> decoded = CharsetConverter::decode(data, size_t(checked), name.constData());
    return decoded && decoded->clean;
}

// The names the detector gives that are better read as a wider set that
// holds them: Latin-1 files are written on Windows-1252 systems (quotes and
// dashes at 80-9F), and Korean UHC is CP949.
QByteArray widened(const QByteArray &name)
{
    if (name == "ISO-8859-1")
        return "WINDOWS-1252";
    if (name == "UHC")
        return "CP949";
    return name;
}

} // namespace

QString CharsetDetector::markless16(const QByteArray &bytes)
{
    const qsizetype size = std::min(bytes.size(), kSampleSize) & ~qsizetype(1);
    if (size < 4)
        return {};
    qsizetype evenZeros = 0, oddZeros = 0;
    for (qsizetype i = 0; i < size; i += 2) {
        evenZeros += bytes[i] == 0;
        oddZeros += bytes[i + 1] == 0;
    }
    // Text of any script has line ends, digits or spaces: at least one unit
    // in eight is ASCII. A zero byte on the other side of a unit would be a
    // character from U+0100 to U+FF00 with a zero low byte, which text hardly
    // has, or a binary file.
    const qsizetype units = size / 2;
    if (oddZeros * 8 >= units && evenZeros * 50 <= oddZeros)
        return QStringLiteral("UTF-16LE");
    if (evenZeros * 8 >= units && oddZeros * 50 <= evenZeros)
        return QStringLiteral("UTF-16BE");
    return {};
}

QString CharsetDetector::detect(const QByteArray &bytes)
{
    if (QString utf16 = markless16(bytes); !utf16.isEmpty())
        return utf16;
    const bool cut = bytes.size() > kSampleSize;
    const qsizetype size = std::min(bytes.size(), kSampleSize);
    const char *data = bytes.constData();
    // A few bytes outside ASCII say too little to choose a set by.
    if (std::count_if(data, data + size, [](char c) { return uchar(c) >= 0x80; }) < kLeastEvidence)
        return kGb2312;
    const QByteArray name = widened(guess(data, size));
    if (simplifiedChinese(name))
        return kGb2312;
    // Bytes that fit GB2312's area are Chinese unless the detector found a
    // set of its own size (Big5, Shift_JIS, EUC-KR, …).
    if (singleByte(name) && looksLikeGb2312(data, size))
        return kGb2312;
    // A guess that leaves bytes undecoded is no better than the default.
    if (!decodesCleanly(data, size, name, cut))
        return kGb2312;
    return QString::fromLatin1(name);
}

} // namespace sorvane
