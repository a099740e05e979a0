#include "subtitles/SubtitleLoader.h"

#include "app/Main.h"
#include "core/Dictionary.h"
#include "subtitles/CueTextStore.h"
#include "subtitles/PageWrite.h"
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

QString configText(Dictionary &config, const QString &key)
{
    const Variant *value = config.find(key);
    return value ? value->text() : QString();
}

} // namespace

void SubtitleLoader::load(const QString &fileName)
{
    const quint64 generation = ++m_generation;
    Main &main = m_main;
    Dictionary &config = *main.Config;
    Dictionary &normal = *main.subtitles;
    Dictionary &swapped = *main.subtitlesSort;
    const QString formatKey = QStringLiteral("Format");

    normal.removeAll();
    swapped.removeAll();
    main.stopTime = kZeroTime;

    // The codec's failure box runs the event loop, so a newer load may have
    // started meanwhile.
    config.setItem(formatKey, main.textCodec().GetStrText(fileName, QString()));
    if (superseded(generation))
        return;

    const QString script = configText(config, QStringLiteral("Script"));
    if (!script.isEmpty() && TextCodec::fileExists(script)) {
        // A script of another kind is not run, and there is no normalisation either.
        const QString lower = script.toLower();
        if (lower.endsWith(QLatin1String(".vbs")))
            main.RunScript(main.textCodec().GetFileText(script), QStringLiteral("VBScript"), true);
        else if (lower.endsWith(QLatin1String(".js")))
            main.RunScript(main.textCodec().GetFileText(script), QStringLiteral("JavaScript"), true);
        if (superseded(generation))
            return;
    } else {
        // The table lets go of the text first, so that a trim is made in place.
        QString format = configText(config, formatKey);
        config.setItem(formatKey, QString());
        config.setItem(formatKey, SubtitleParser::normalise(std::move(format)));
    }

    const QString text = configText(config, formatKey);
    if (text.isEmpty())
        return;

    const QStringView blocks = SubtitleParser::trimmed(text);
    const QString base = configText(config, QStringLiteral("Base"));
    PageWrite::html(main.document, QStringLiteral("code"), kTitleStyle + base + QStringLiteral("</span>"));
    const qsizetype count = BlockSplitter::count(blocks);
    const QString ofCount = QStringLiteral("/") + QString::number(count) + QStringLiteral("]</font>");
    const QString progressPrefix = QStringLiteral("<font size=2>载入数据 [");

    // A key per covered second, at most one day of them; films cover about
    // four seconds a cue, and growing the tables midway costs more than room
    // left unused.
    const qsizetype expectedKeys = std::min<qsizetype>(count * 5, TimeKey::kSecondsPerDay);
    normal.reserve(expectedKeys);
    swapped.reserve(expectedKeys);

    // The tables keep each cue's lines and make its HTML when a key is read.
    const SubtitleParser parser(configText(config, QStringLiteral("English")));
    const auto store = std::make_shared<CueTextStore>(parser);
    store->reserve(count);
    normal.setDeferredValues(CueTextStore::order(store, false));
    swapped.setDeferredValues(CueTextStore::order(store, true));
    WindowHost &window = *main.platform().window;
    // What the page shows is seen only at the pauses, so it is written just
    // before a pause that runs events: the clock box with the last key of the
    // latest cue, the counter with the blocks done.
    QString lastKey;
    qsizetype done = 0;
    auto showProgress = [&] {
        if (!lastKey.isEmpty())
            PageWrite::text(main.document, QStringLiteral("TimeBox"), main.showTime + QStringLiteral(" / ") + lastKey);
        lastKey.clear();
        if (done == 0)
            return;
        QString progress;
        progress.reserve(progressPrefix.size() + 20 + ofCount.size());
        progress.append(progressPrefix).append(QString::number(done)).append(ofCount);
        PageWrite::html(main.document, QStringLiteral("Message"), progress);
    };

    std::optional<int> stop = TimeKey::parse(main.stopTime);
    // The tables' keys and cue texts share a few large blocks: a film has
    // thousands of each, and one allocation apiece costs more than the rest
    // of their making.
    StringPool pool;
    BlockSplitter splitter(blocks);
    QStringView block;
    for (; splitter.next(block); ++done) {
        if (window.eventsDue()) {
            showProgress();
            window.processEvents();
            if (superseded(generation))
                return;
            // A script may have moved the total during the pause.
            stop = TimeKey::parse(main.stopTime);
        }

        if (std::optional<CueLines> cue = parser.parseLines(block, &pool)) {
            const qint64 start = cue->start, end = cue->end;
            const qint32 index = store->add(std::move(*cue));
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
            // Once a second is later than the total, so is every one after
            // it: the cue's last key is the new total.
            if (later)
                main.stopTime = key.text;
            if (!key.text.isEmpty())
                lastKey = key.text;
        }
    }
    showProgress();

    if (const std::optional<int> last = TimeKey::parse(main.stopTime)) {
        const int nextMinute = (*last + 60) % TimeKey::kSecondsPerDay;
        main.stopTime = TimeKey::format(nextMinute - nextMinute % 60);
    }
    PageWrite::text(main.document, QStringLiteral("TimeBox"), main.showTime + QStringLiteral(" / ") + main.stopTime);
    PageWrite::html(main.document, QStringLiteral("code"), kTitleStyle + QStringLiteral("字幕【") + base +
                                                                QStringLiteral("】就绪！</span>"));
}

} // namespace sorvane
