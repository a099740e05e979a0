#pragma once

#include <QString>

#include <optional>

namespace sorvane {

class Main;

// Brings the cues into step with the video: the position set to a typed
// time or nudged by a second, and the speed changed by one millisecond per
// play-second (about 0.6 s of drift per 10 minutes). Every command acts on
// the running clock at once, playing or stopped.
class TimeAdjust {
public:
    explicit TimeAdjust(Main &main) : m_main(main) {}

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

    Main &m_main;
};

} // namespace sorvane
