#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace sorvane {

class CueTextStore;
class ScriptRunner;
class StringPool;
struct CueLines;
class TextCodec;
class WindowHost;
struct WindowState;

// Turns one subtitle file into the cue table (`Addsubtitles`): for every
// second some cue covers, the cue's HTML in both line orders, with progress
// on the page and one pause per block in which pending events run.
//
// A load that starts during another's pause (a drop, a script) supersedes
// it: the earlier load returns at its next pause without touching the page
// or the tables again, so they hold the newer file alone.
class SubtitleLoader {
public:
    SubtitleLoader(WindowState &state, TextCodec &codec, ScriptRunner &scripts, WindowHost &window)
        : m_state(state), m_codec(codec), m_scripts(scripts), m_window(window)
    {
    }

    // True when the file was read as text (whatever its transform script
    // and parse gave) and is still the current one: false when it was gone,
    // the read failed, or a load started meanwhile (a drop) took its place.
    bool load(const QString &fileName);

    // The character set `fileName` is read in from now on, instead of the
    // one detected; "" goes back to detection. One file has a choice at a
    // time: a load of another file detects again.
    void setCharSet(const QString &fileName, const QString &charSet);
    QString charSetOf(const QString &fileName) const
    {
        return fileName == m_chosenFor ? m_chosenCharSet : QString();
    }

    // Raised by every load; a load whose number is no longer current stops.
    quint64 generation() const { return m_generation; }

private:
    bool superseded(quint64 generation) const { return generation != m_generation; }
    // Each step returns false when a newer load superseded this one.
    // Empties the tables and reads the file into "Format" and "CharSet".
    bool readFile(const QString &fileName, quint64 generation, bool &read);
    // Runs the "Script" setting's transform script, else normalises "Format".
    bool prepareText(quint64 generation);
    // Parses the blocks into the cue tables, with progress on the page.
    bool fillTables(QStringView blocks, quint64 generation);
    // Adds the keys of one cue, moving `stop` and "stopTime" past a later
    // second; the cue's last key.
    QString addCue(CueLines cue, CueTextStore &store, StringPool &pool, std::optional<int> &stop);
    // The total rounded up to the next minute, and the ready notice.
    void showReady(const QString &base);

    WindowState &m_state;
    TextCodec &m_codec;
    ScriptRunner &m_scripts;
    WindowHost &m_window;
    quint64 m_generation = 0;
    QString m_chosenFor;
    QString m_chosenCharSet;
};

} // namespace sorvane
