#pragma once

#include <QString>

namespace sorvane {

class Main;

// Turns one subtitle file into the cue table (`Addsubtitles`): for every
// second some cue covers, the cue's HTML in both line orders, with progress
// on the page and one pause per block in which pending events run.
//
// A load that starts during another's pause (a drop, a script) supersedes
// it: the earlier load returns at its next pause without touching the page
// or the tables again, so they hold the newer file alone.
class SubtitleLoader {
public:
    explicit SubtitleLoader(Main &main) : m_main(main) {}

    void load(const QString &fileName);

    // Raised by every load; a load whose number is no longer current stops.
    quint64 generation() const { return m_generation; }

private:
    bool superseded(quint64 generation) const { return generation != m_generation; }

    Main &m_main;
    quint64 m_generation = 0;
};

} // namespace sorvane
