#include "playback/PlayClock.h"

#include "core/Dictionary.h"
#include "page/PageWrite.h"
#include "platform/Platform.h"
#include "state/WindowState.h"
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
    const std::optional<quint32> anchor = counterValue(m_state.SavTime);
    const std::optional<int> start = TimeKey::parse(m_state.NewTime);
    const qint64 unit = 1000 + qint64(m_state.MSID);
    if (!anchor || !start || unit <= 0)
        return std::nullopt;
    const quint32 elapsed = m_clock.milliseconds() - *anchor;
    return Position{TimeKey::format(*start + qint64(elapsed) / unit), qint64(elapsed) % unit};
}

void PlayClock::setCaption(const char *item, const QString &caption)
{
    MenuModel &menu = m_state.menu;
    const int at = menu.find(QString::fromLatin1(item));
    if (at >= 0)
        menu.setCaption(at, caption);
}

void PlayClock::tick()
{
    if (!m_state.Config)
        return;
    const std::optional<Position> now = position();
    if (!now)
        return;
    m_state.showTime = now->key;
    setCaption("showTimer", TimeKey::withMillis(now->key, now->millis));
    if (m_state.showTime == m_lastShown)
        return;

    const std::optional<int> shown = TimeKey::parse(m_state.showTime);
    const std::optional<int> stop = TimeKey::parse(m_state.stopTime);
    if (shown && stop && TimeKey::isLater(*shown, *stop)) {
        m_state.Timer1.setEnabled(false);
        const Variant *stopText = m_state.Config->find(QStringLiteral("stopText"));
        PageWrite::html(m_state.document, QStringLiteral("code"), stopText ? stopText->text() : QString());
        setCaption("OnPlayer", QStringLiteral("开始"));
        m_state.SavTime = Variant::fromDouble(m_clock.milliseconds());
        m_state.NewTime = kZeroTime;
        setCaption("showTimer", QStringLiteral("00:00:00,000"));
        return;
    }
    PageWrite::text(m_state.document, QStringLiteral("TimeBox"), m_state.showTime + QStringLiteral(" / ") + m_state.stopTime);
    ShowSubtitles(m_state.showTime);
    m_lastShown = m_state.showTime;
}

void PlayClock::ShowSubtitles(const QString &timeKey)
{
    if (!m_state.subtitles || !m_state.Config)
        return;
    Dictionary &subtitles = *m_state.subtitles;
    if (subtitles.count() == 0)
        return;
    const Variant key(timeKey);
    QString html;
    if (subtitles.exists(key)) {
        const Variant *sorting = m_state.Config->find(QStringLiteral("Sorting"));
        const bool swapped = sorting && sorting->toBool().valueOr(false);
        const Variant *value = swapped ? m_state.subtitlesSort->find(key) : subtitles.find(key);
        html = value ? value->text() : QString();
    }
    PageWrite::html(m_state.document, QStringLiteral("code"), html);
}

void PlayClock::OnPlayer()
{
    if (!m_state.subtitles)
        return;
    if (m_state.subtitles->count() == 0) {
        PageWrite::html(m_state.document, QStringLiteral("code"),
                        QStringLiteral("拖放 SRT/SSA/ASS/LRC/SUB/VTT 字幕文件到窗口上播放！（或右键 › 打开字幕…，Ctrl+O）<br><span style='font-family:Microsoft "
                                       "Yahei;font-Weight:bold;font-size:18px;line-height:28px;'>字幕文件 "
                                       "(*.srt;*.ssa;*.ass;*.lrc;*.sub;*.vtt)</span>"));
        return;
    }
    m_state.Timer1.setEnabled(!m_state.Timer1.enabled());
    if (!m_state.Timer1.enabled()) {
        setCaption("OnPlayer", QStringLiteral("开始"));
        if (const std::optional<Position> now = position())
            m_state.NewTime = now->key;
        return;
    }
    setCaption("OnPlayer", QStringLiteral("停止"));
    m_state.SavTime = Variant::fromDouble(m_clock.milliseconds());
    if (m_state.NewTime.isEmpty())
        m_state.NewTime = kZeroTime;
    // The first tick of a playback always draws its second, even when the
    // previous playback ended on the same one.
    m_lastShown.clear();
}

} // namespace sorvane
