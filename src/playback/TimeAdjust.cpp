#include "playback/TimeAdjust.h"

#include "dialogs/Dialogs.h"
#include "page/PageWrite.h"
#include "platform/Platform.h"
#include "playback/PlayClock.h"
#include "state/WindowState.h"
#include "subtitles/TimeKey.h"

#include <QRegularExpression>

#include <cmath>

namespace sorvane {
namespace {

const QString kZeroTime = QStringLiteral("00:00:00");
constexpr qint32 kSpeedLimit = 50;

bool validDate(int year, int month, int day)
{
    if (year < 100)
        year += year < 30 ? 2000 : 1900;
    if (year > 9999 || month < 1 || month > 12 || day < 1)
        return false;
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= days[month - 1] + (month == 2 && leap ? 1 : 0);
}

} // namespace

std::optional<int> TimeAdjust::typedTime(const QString &answer)
{
    static const QRegularExpression datePattern(
        QStringLiteral(R"(^(?:(\d{4})[-/.](\d{1,2})[-/.](\d{1,2})|(\d{1,2})[-/](\d{1,2})[-/](\d{2,4})))"));
    static const QRegularExpression timePattern(
        QStringLiteral(R"(^(\d{1,2}):(\d{1,2})(?::(\d{1,2})(?:\.\d+)?)?\s*(?:([AaPp])\.?[Mm]\.?)?$)"));

    QString text = answer.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    if (const QRegularExpressionMatch date = datePattern.match(text); date.hasMatch()) {
        const bool yearFirst = date.capturedLength(1) > 0;
        const int year = (yearFirst ? date.captured(1) : date.captured(6)).toInt();
        const int month = (yearFirst ? date.captured(2) : date.captured(4)).toInt();
        const int day = (yearFirst ? date.captured(3) : date.captured(5)).toInt();
        if (!validDate(year, month, day))
            return std::nullopt;
        text = text.mid(date.capturedLength());
        if (!text.isEmpty() && !text.front().isSpace() && text.front() != u'T')
            return std::nullopt;
        text = text.mid(1).trimmed();
        if (text.isEmpty())
            return 0;
    }
    const QRegularExpressionMatch time = timePattern.match(text);
    if (!time.hasMatch())
        return std::nullopt;
    int hours = time.captured(1).toInt();
    const int minutes = time.captured(2).toInt();
    const int seconds = time.captured(3).toInt();
    if (const QString half = time.captured(4).toLower(); !half.isEmpty()) {
        if (hours < 1 || hours > 12)
            return std::nullopt;
        hours = hours % 12 + (half == u"p" ? 12 : 0);
    }
    if (hours > 23 || minutes > 59 || seconds > 59)
        return std::nullopt;
    return hours * 3600 + minutes * 60 + seconds;
}

QString TimeAdjust::driftText(qint64 msid)
{
    const qint64 tenths = (msid < 0 ? -msid : msid) * 6;
    QString text = QString::number(tenths / 10);
    if (tenths % 10)
        text += u'.' + QString::number(tenths % 10);
    return text;
}

void TimeAdjust::setMenuCaption(const char *item, int index, const QString &caption)
{
    const int at = m_state.menu.find(QString::fromLatin1(item), index);
    if (at >= 0)
        m_state.menu.setCaption(at, caption);
}

QString TimeAdjust::timerCaption(const QString &key) const
{
    return TimeKey::withMillis(key, m_clock.milliseconds() % 1000);
}

void TimeAdjust::OnSetTime()
{
    Clock &clock = m_clock;
    if (m_state.SavTime.toDouble().valueOr(1) == 0)
        m_state.SavTime = Variant::fromDouble(clock.milliseconds());
    if (m_state.NewTime.isEmpty())
        m_state.NewTime = kZeroTime;
    const QString answer =
        m_dialogs.InputBoxB(QStringLiteral("请输入数据："), QStringLiteral("系统提示"), m_state.showTime);
    const std::optional<int> typed = typedTime(answer);
    if (!typed)
        return;
    m_state.SavTime = Variant::fromDouble(clock.milliseconds());
    m_state.NewTime = TimeKey::format(*typed);
    setMenuCaption("showTimer", -1, timerCaption(m_state.NewTime));
    PageWrite::text(m_state.document, QStringLiteral("TimeBox"), m_state.NewTime + QStringLiteral(" / ") + m_state.stopTime);
    m_playClock.ShowSubtitles(m_state.NewTime);
}

void TimeAdjust::nudge(int step)
{
    if (m_state.NewTime.isEmpty())
        m_state.NewTime = kZeroTime;
    if (const std::optional<int> anchor = TimeKey::parse(m_state.NewTime))
        m_state.NewTime = TimeKey::format(*anchor + step);
    setMenuCaption("showTimer", -1, timerCaption(m_state.NewTime));
    PageWrite::text(m_state.document, QStringLiteral("TimeBox"), m_state.NewTime + QStringLiteral(" / ") + m_state.stopTime);
    m_state.showTime = m_state.NewTime;
    m_playClock.ShowSubtitles(m_state.showTime);
    m_state.showOut = 0;
}

void TimeAdjust::OnMsKeys(int index)
{
    qint32 &msid = m_state.MSID;
    if (index == 0) {
        msid = msid <= -kSpeedLimit ? kSpeedLimit : msid - 1;
    } else if (index == 2) {
        msid = msid >= kSpeedLimit ? -kSpeedLimit : msid + 1;
    } else if (index == 1) {
        const QString title = QStringLiteral("[number:") + QString::number(msid) + QStringLiteral("] 每10分钟") +
                              (msid > 0 ? QStringLiteral("慢") : QStringLiteral("快")) + driftText(msid) +
                              QStringLiteral("秒");
        const QString answer =
            m_dialogs.InputBoxB(QStringLiteral("请输入数据：[ -50 至 50 ]"), title, QString::number(msid));
        double value = 0;
        if (parseNumericText(answer, &value) && std::isfinite(value)) {
            const double whole = std::floor(value);
            // A number beyond 32 bits does not convert; the speed stays.
            if (whole >= -2147483648.0 && whole <= 2147483647.0)
                msid = qint32(whole);
        }
    }
    SetMsIndex(msid);
    m_state.showOut = 0;
}

void TimeAdjust::SetMsIndex(qint32 index)
{
    qint32 &msid = m_state.MSID;
    msid = qBound(-kSpeedLimit, index, kSpeedLimit);
    QString report = QStringLiteral("<font size=2>[number:") + QString::number(msid) + QStringLiteral("] ");
    if (msid != 0)
        report += QStringLiteral("每10分钟大约") + (msid < 0 ? QStringLiteral("快放") : QStringLiteral("慢放")) +
                  driftText(msid) + QStringLiteral("秒</font>");
    else
        report += QStringLiteral("正常播放速度</font>");
    PageWrite::html(m_state.document, QStringLiteral("Message"), report);
    setMenuCaption("OnMsKeys", 1, QStringLiteral("number:") + QString::number(msid));
}

} // namespace sorvane
