#include "subtitles/TimeKey.h"

#include "text/StringPool.h"

namespace sorvane::TimeKey {
namespace {

// One field of one or two ASCII digits, then `end` or the separator.
bool readField(QStringView text, qsizetype &at, int &value)
{
    const qsizetype start = at;
    value = 0;
    while (at < text.size() && at - start < 3 && text[at] >= u'0' && text[at] <= u'9')
        value = value * 10 + (text[at++].unicode() - u'0');
    const qsizetype digits = at - start;
    return digits >= 1 && digits <= 2;
}

void write(char16_t *out, qint64 seconds)
{
    qint64 s = seconds % kSecondsPerDay;
    if (s < 0)
        s += kSecondsPerDay;
    auto putTwo = [](char16_t *at, int value) {
        at[0] = char16_t(u'0' + value / 10);
        at[1] = char16_t(u'0' + value % 10);
    };
    putTwo(out, int(s / 3600));
    out[2] = u':';
    putTwo(out + 3, int(s / 60 % 60));
    out[5] = u':';
    putTwo(out + 6, int(s % 60));
}

} // namespace

QString format(qint64 seconds)
{
    QString key(8, Qt::Uninitialized);
    write(reinterpret_cast<char16_t *>(key.data()), seconds);
    return key;
}

QString format(qint64 seconds, StringPool &pool)
{
    char16_t *chars = nullptr;
    QString key = pool.make(8, chars);
    write(chars, seconds);
    return key;
}

QString withMillis(const QString &key, qint64 millis)
{
    return key + u',' + QString::number(millis).rightJustified(3, u'0');
}

std::optional<int> parse(QStringView text)
{
    int fields[3] = {0, 0, 0};
    qsizetype at = 0;
    int count = 0;
    while (count < 3) {
        if (!readField(text, at, fields[count]))
            return std::nullopt;
        ++count;
        if (at == text.size())
            break;
        if (text[at] != u':')
            return std::nullopt;
        ++at;
    }
    if (at != text.size() || count < 2)
        return std::nullopt;
    if (fields[0] > 23 || fields[1] > 59 || fields[2] > 59)
        return std::nullopt;
    return fields[0] * 3600 + fields[1] * 60 + fields[2];
}

} // namespace sorvane::TimeKey
