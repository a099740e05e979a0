#pragma once

#include <QString>

#include <optional>

namespace sorvane {

class Clock;
class Dialogs;
class PlayClock;
struct WindowState;

// Brings the cues into step with the video: the position set to a typed
// time or nudged by a second, and the speed changed by one millisecond per
// play-second (about 0.6 s of drift per 10 minutes). Every command acts on
// the running clock at once, playing or stopped.
class TimeAdjust {
public:
    TimeAdjust(WindowState &state, PlayClock &playClock, Dialogs &dialogs, Clock &clock)
        : m_state(state), m_playClock(playClock), m_dialogs(dialogs), m_clock(clock)
    {
    }

    void OnSetTime();
    void OnSetTimeA() { nudge(-1); }
    void OnSetTimeB() { nudge(+1); }
    void OnMsKeys(int index);
    void SetMsIndex(qint32 index);

    // The time of day of a typed time or date, in seconds: h:m (hours and
    // minutes), h:m:s, either with AM/PM, a date (y-m-d, y/m/d, m/d/y) alone
    // (00:00:00) or followed by a time. nullopt for anything else.
    static std::optional<int> typedTime(const QString &answer);
    // |msid| x 0.6 to the nearest tenth, without a trailing ".0".
    static QString driftText(qint64 msid);

private:
    void nudge(int step);
    void setMenuCaption(const char *item, int index, const QString &caption);
    QString timerCaption(const QString &key) const;

    WindowState &m_state;
    PlayClock &m_playClock;
    Dialogs &m_dialogs;
    Clock &m_clock;
};

} // namespace sorvane
