#pragma once

#include <QString>

#include <optional>

namespace sorvane {

class Clock;
struct WindowState;

// The play clock: a whole-second position anchored to the 32-bit millisecond
// counter (`SavTime`, `NewTime`), advanced by `Timer1`, and the cue shown at
// each second. The page is written only when the second changes; the menu
// heading `showTimer` follows the milliseconds on every tick.
class PlayClock {
public:
    PlayClock(WindowState &state, Clock &clock) : m_state(state), m_clock(clock) {}

    struct Position {
        QString key;     // "hh:mm:ss"
        qint64 millis;   // real milliseconds into the current play-second
    };

    // NewTime plus the play-seconds elapsed since SavTime, at 1000 + MSID ms
    // each. The counter difference is taken modulo 2^32, so a playback
    // survives the counter's sign change and wrap. nullopt when the state
    // does not convert (a script wrote something else) or the unit is not
    // positive.
    std::optional<Position> position() const;

    void tick();
    void OnPlayer();
    void ShowSubtitles(const QString &timeKey);

private:
    void setCaption(const char *item, const QString &caption);

    WindowState &m_state;
    Clock &m_clock;
    QString m_lastShown;
};

} // namespace sorvane
