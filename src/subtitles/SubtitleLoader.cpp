#include "subtitles/SubtitleLoader.h"

#include "core/Dictionary.h"
#include "page/PageWrite.h"
#include "platform/Platform.h"
#include "state/ScriptRunner.h"
#include "state/WindowState.h"
#include "subtitles/CueTextStore.h"
#include "subtitles/SubtitleParser.h"
#include "subtitles/TimeKey.h"
#include "text/StringPool.h"
#include "text/TextCodec.h"

#include <algorithm>

namespace sorvane {
namespace {

const QString kZeroTime = QStringLiteral("00:00:00");
const QString kTitleStyle =
    QStringLiteral("<span style='font-family:Simsun;font-Weight:bold;font-size:18px;line-height:24px;'>");

const QString kFormatKey = QStringLiteral("Format");

QString configText(Dictionary &config, const QString &key)
{
    const Variant *value = config.find(key);
    return value ? value->text() : QString();
}

// What the page shows of a load under way. It is seen only at the pauses,
// so it is written just before a pause that runs events: the clock box with
// the last key of the latest cue, the counter with the blocks done.
class LoadProgress {
public:
    LoadProgress(WindowState &state, qsizetype count)
        : m_state(state), m_ofCount(QStringLiteral("/") + QString::number(count) + QStringLiteral("]</font>"))
    {
    }

    void lastKey(const QString &key)
    {
        if (!key.isEmpty())
            m_lastKey = key;
    }
    void blockDone() { ++m_done; }

    void show()
    {
        if (!m_lastKey.isEmpty())
            PageWrite::text(m_state.document, QStringLiteral("TimeBox"),
                            m_state.showTime + QStringLiteral(" / ") + m_lastKey);
        m_lastKey.clear();
        if (m_done == 0)
            return;
        static const QString prefix = QStringLiteral("<font size=2>载入数据 [");
        QString progress;
        progress.reserve(prefix.size() + 20 + m_ofCount.size());
        progress.append(prefix).append(QString::number(m_done)).append(m_ofCount);
        PageWrite::html(m_state.document, QStringLiteral("Message"), progress);
    }

private:
    WindowState &m_state;
    const QString m_ofCount;
    QString m_lastKey;
    qsizetype m_done = 0;
};

} // namespace

bool SubtitleLoader::load(const QString &fileName)
{
    const quint64 generation = ++m_generation;
    bool read = false;
    if (readFile(fileName, generation, read) && prepareText(generation)) {
        const QString text = configText(*m_state.Config, kFormatKey);
        // The name shown is the one at the start: a script may change it meanwhile.
        const QString base = configText(*m_state.Config, QStringLiteral("Base"));
        if (!text.isEmpty()) {
            PageWrite::html(m_state.document, QStringLiteral("code"), kTitleStyle + base + QStringLiteral("</span>"));
            if (fillTables(SubtitleParser::trimmed(text), generation))
                showReady(base);
        }
    }
    return read && !superseded(generation);
}

void SubtitleLoader::setCharSet(const QString &fileName, const QString &charSet)
{
    m_chosenFor = charSet.isEmpty() ? QString() : fileName;
    m_chosenCharSet = charSet.isEmpty() ? QString() : charSet;
}

bool SubtitleLoader::readFile(const QString &fileName, quint64 generation, bool &read)
{
    Dictionary &config = *m_state.Config;
    m_state.subtitles->removeAll();
    m_state.subtitlesSort->removeAll();
    m_state.stopTime = kZeroTime;

    // The codec's failure box runs the event loop, so a newer load may have
    // started meanwhile.
    if (fileName != m_chosenFor)
        setCharSet(QString(), QString());
    TextCodec::TextRead file = m_codec.readText(fileName, m_chosenCharSet);
    read = file.read;
    if (!file.charSet.isEmpty())
        config.setItem(QStringLiteral("CharSet"), file.charSet);
    config.setItem(kFormatKey, std::move(file.text));
    return !superseded(generation);
}

bool SubtitleLoader::prepareText(quint64 generation)
{
    Dictionary &config = *m_state.Config;
    const QString script = configText(config, QStringLiteral("Script"));
    if (!script.isEmpty() && TextCodec::fileExists(script)) {
        // A script of another kind is not run, and there is no normalisation either.
        const QString lower = script.toLower();
        if (lower.endsWith(QLatin1String(".vbs")))
            m_scripts.RunScript(m_codec.GetFileText(script), QStringLiteral("VBScript"), true);
        else if (lower.endsWith(QLatin1String(".js")))
            m_scripts.RunScript(m_codec.GetFileText(script), QStringLiteral("JavaScript"), true);
        if (superseded(generation))
            return false;
        // A script that leaves no text (an array, an object) loads nothing,
        // and says so as an empty result of the shipped script does.
        if (const Variant *left = config.find(kFormatKey); left && (left->isArray() || left->isObject())) {
            config.setItem(kFormatKey, QString());
            const QString why = QStringLiteral("字幕【") + configText(config, QStringLiteral("Base")) +
                                QStringLiteral("】(") + configText(config, QStringLiteral("Extension")).toUpper() +
                                QStringLiteral(") 无法载入：没有可用的字幕");
            PageWrite::html(m_state.document, QStringLiteral("Message"),
                            QStringLiteral("<font size=2 color=yellow>") + why.toHtmlEscaped() +
                                QStringLiteral("</font>"));
            m_state.showOut = 0;
            return false;
        }
        return true;
    }
    // The table lets go of the text first, so that a trim is made in place.
    QString format = configText(config, kFormatKey);
    config.setItem(kFormatKey, QString());
    config.setItem(kFormatKey, SubtitleParser::normalise(std::move(format)));
    return true;
}

bool SubtitleLoader::fillTables(QStringView blocks, quint64 generation)
{
    Dictionary &normal = *m_state.subtitles;
    Dictionary &swapped = *m_state.subtitlesSort;
    const qsizetype count = BlockSplitter::count(blocks);
    LoadProgress progress(m_state, count);

    // A key per covered second, at most one day of them; films cover about
    // four seconds a cue, and growing the tables midway costs more than room
    // left unused.
    const qsizetype expectedKeys = std::min<qsizetype>(count * 5, TimeKey::kSecondsPerDay);
    normal.reserve(expectedKeys);
    swapped.reserve(expectedKeys);

    // The tables keep each cue's lines and make its HTML when a key is read.
    const SubtitleParser parser(configText(*m_state.Config, QStringLiteral("English")));
    const auto store = std::make_shared<CueTextStore>(parser);
    store->reserve(count);
    normal.setDeferredValues(CueTextStore::order(store, false));
    swapped.setDeferredValues(CueTextStore::order(store, true));

    std::optional<int> stop = TimeKey::parse(m_state.stopTime);
    // The tables' keys and cue texts share a few large blocks: a film has
    // thousands of each, and one allocation apiece costs more than the rest
    // of their making.
    StringPool pool;
    BlockSplitter splitter(blocks);
    QStringView block;
    while (splitter.next(block)) {
        if (m_window.eventsDue()) {
            progress.show();
            m_window.processEvents();
            if (superseded(generation))
                return false;
            // A script may have moved the total during the pause.
            stop = TimeKey::parse(m_state.stopTime);
        }
        if (std::optional<CueLines> cue = parser.parseLines(block, &pool))
            progress.lastKey(addCue(std::move(*cue), *store, pool, stop));
        progress.blockDone();
    }
    progress.show();
    return true;
}

QString SubtitleLoader::addCue(CueLines cue, CueTextStore &store, StringPool &pool, std::optional<int> &stop)
{
    Dictionary &normal = *m_state.subtitles;
    Dictionary &swapped = *m_state.subtitlesSort;
    const qint64 start = cue.start, end = cue.end;
    const qint32 index = store.add(std::move(cue));
    Dictionary::TextKey key;
    bool later = false;
    for (qint64 second = start; second <= end; ++second) {
        key = Dictionary::textKey(TimeKey::format(second, pool));
        normal.setDeferredTextItem(key, index);
        swapped.setDeferredTextItem(key, index);
        if (stop && TimeKey::isLater(int(second), *stop)) {
            stop = int(second);
            later = true;
        }
    }
    // Once a second is later than the total, so is every one after it: the
    // cue's last key is the new total.
    if (later)
        m_state.stopTime = key.text;
    return key.text;
}

void SubtitleLoader::showReady(const QString &base)
{
    if (const std::optional<int> last = TimeKey::parse(m_state.stopTime)) {
        const int nextMinute = (*last + 60) % TimeKey::kSecondsPerDay;
        m_state.stopTime = TimeKey::format(nextMinute - nextMinute % 60);
    }
    PageWrite::text(m_state.document, QStringLiteral("TimeBox"),
                    m_state.showTime + QStringLiteral(" / ") + m_state.stopTime);
    PageWrite::html(m_state.document, QStringLiteral("code"),
                    kTitleStyle + QStringLiteral("字幕【") + base + QStringLiteral("】就绪！</span>"));
}

} // namespace sorvane
