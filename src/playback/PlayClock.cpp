#include "playback/PlayClock.h"

#include "app/Main.h"
#include "core/Dictionary.h"
#include "subtitles/PageWrite.h"
#include "subtitles/TimeKey.h"

#include <cmath>

namespace sorvane {
namespace {

const QString kZeroTime = QStringLiteral("00:00:00");

// A counter value kept in a variant; empty reads as 0.
std::optional<quint32> counterValue(const Variant &value)
{
    const Result<double> number = value.toDouble();
    if (!number || !std::isfinite(*number))
        return std::nullopt;
    return quint32(qint64(std::fmod(std::trunc(*number), 4294967296.0)));
}

} // namespace

std::optional<PlayClock::Position> PlayClock::position() const
{
    const std::optional<quint32> anchor = counterValue(m_main.SavTime);
    const std::optional<int> start = TimeKey::parse(m_main.NewTime);
    const qint64 unit = 1000 + qint64(m_main.MSID);
    if (!anchor || !start || unit <= 0)
        return std::nullopt;
    const quint32 elapsed = m_main.platform().clock->milliseconds() - *anchor;
    return Position{TimeKey::format(*start + qint64(elapsed) / unit), qint64(elapsed) % unit};
}

void PlayClock::setCaption(const char *item, const QString &caption)
{
    MenuModel &menu = m_main.menu;
    const int at = menu.find(QString::fromLatin1(item));
    if (at >= 0)
        menu.setCaption(at, caption);
}

void PlayClock::tick()
{
    if (!m_main.Config)
        return;
    const std::optional<Position> now = position();
    if (!now)
        return;
    m_main.showTime = now->key;
    setCaption("showTimer", TimeKey::withMillis(now->key, now->millis));
    if (m_main.showTime == m_lastShown)
        return;

    const std::optional<int> shown = TimeKey::parse(m_main.showTime);
    const std::optional<int> stop = TimeKey::parse(m_main.stopTime);
    if (shown && stop && TimeKey::isLater(*shown, *stop)) {
        m_main.Timer1.setEnabled(false);
        const Variant *stopText = m_main.Config->find(QStringLiteral("stopText"));
        PageWrite::html(m_main.document, QStringLiteral("code"), stopText ? stopText->text() : QString());
        setCaption("OnPlayer", QStringLiteral("开始"));
        m_main.SavTime = Variant::fromDouble(m_main.platform().clock->milliseconds());
        m_main.NewTime = kZeroTime;
        setCaption("showTimer", QStringLiteral("00:00:00,000"));
        return;
    }
    PageWrite::text(m_main.document, QStringLiteral("TimeBox"), m_main.showTime + QStringLiteral(" / ") + m_main.stopTime);
    ShowSubtitles(m_main.showTime);
    m_lastShown = m_main.showTime;
}

void PlayClock::ShowSubtitles(const QString &timeKey)
{
    if (!m_main.subtitles || !m_main.Config)
        return;
    Dictionary &subtitles = *m_main.subtitles;
    if (subtitles.count() == 0)
        return;
    const Variant key(timeKey);
    QString html;
    if (subtitles.exists(key)) {
        const Variant *sorting = m_main.Config->find(QStringLiteral("Sorting"));
        const bool swapped = sorting && sorting->toBool().valueOr(false);
        const Variant *value = swapped ? m_main.subtitlesSort->find(key) : subtitles.find(key);
        html = value ? value->text() : QString();
    }
    PageWrite::html(m_main.document, QStringLiteral("code"), html);
}

void PlayClock::OnPlayer()
{
    if (!m_main.subtitles)
        return;
    if (m_main.subtitles->count() == 0) {
        PageWrite::html(m_main.document, QStringLiteral("code"),
                        QStringLiteral("拖放 SRT/SSA/ASS 字幕文件到窗口上播放！<br><span style='font-family:Microsoft "
                                       "Yahei;font-Weight:bold;font-size:18px;line-height:28px;'>字幕文件 "
                                       "(*.srt;*.ssa;*.ass)</span>"));
        return;
    }
    m_main.Timer1.setEnabled(!m_main.Timer1.enabled());
    if (!m_main.Timer1.enabled()) {
        setCaption("OnPlayer", QStringLiteral("开始"));
        if (const std::optional<Position> now = position())
            m_main.NewTime = now->key;
        return;
    }
    setCaption("OnPlayer", QStringLiteral("停止"));
    m_main.SavTime = Variant::fromDouble(m_main.platform().clock->milliseconds());
    if (m_main.NewTime.isEmpty())
        m_main.NewTime = kZeroTime;
    // The first tick of a playback always draws its second, even when the
    // previous playback ended on the same one.
    m_lastShown.clear();
}

} // namespace sorvane
