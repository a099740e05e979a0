// The shipped transform script on a big file: 100,000 cues as ASS loaded
// through script/subtitles.js, next to the same cues as SRT loaded without a
// script (the parse alone) and with it (the script tidying SRT). The script's
// share of a load is the ASS time less the SRT time without a script. The
// fourth run loads the ASS file through bench/ass_floor.js, the least script
// that converts it, as a floor for what any script costs in this engine.
#include "app/Main.h"
#include "platform/fake/FakePlatform.h"
#include "core/Dictionary.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace sorvane;

constexpr int kCues = 100000;

QString assTime(qint64 ms)
{
    return QString::asprintf("%lld:%02lld:%02lld.%02lld", ms / 3600000, ms / 60000 % 60, ms / 1000 % 60, ms % 1000 / 10);
}

QString srtTime(qint64 ms)
{
    return QString::asprintf("%02lld:%02lld:%02lld,%03lld", ms / 3600000, ms / 60000 % 60, ms / 1000 % 60, ms % 1000);
}

// The same cues over a day in both forms: a Chinese and an English line, some
// override codes and tags.
struct CueFiles {
    QByteArray ass, srt;
    CueFiles()
    {
        QString a, s;
        a.reserve(kCues * 130);
        s.reserve(kCues * 100);
        a += QStringLiteral("[Script Info]\r\nScriptType: v4.00+\r\n\r\n[V4+ Styles]\r\n"
                            "Format: Name, Fontname, Fontsize\r\nStyle: Default,Arial,20\r\n\r\n[Events]\r\n"
                            "Format: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\r\n");
        const qint64 span = 86000LL * 1000 / kCues;
        for (int i = 0; i < kCues; ++i) {
            const qint64 start = i * span, end = start + span * 2 / 3;
            const QString chinese = QStringLiteral("我们今天晚上去看电影吧，好吗？第") + QString::number(i) + QStringLiteral("句");
            const QString english = QStringLiteral("Shall we go to the movies tonight, okay?");
            a += QStringLiteral("Dialogue: 0,") + assTime(start) + u',' + assTime(end) +
                 QStringLiteral(",Default,,0,0,0,,") + (i % 7 == 0 ? QStringLiteral("{\\an8}") : QString()) + chinese +
                 QStringLiteral("\\N") + english + QStringLiteral("\r\n");
            s += QString::number(i + 1) + QStringLiteral("\r\n") + srtTime(start - start % 10) + QStringLiteral(" --> ") +
                 srtTime(end - end % 10) + QStringLiteral("\r\n") + (i % 7 == 0 ? QStringLiteral("{\\an8}") : QString()) +
                 chinese + QStringLiteral("\r\n") + english + QStringLiteral("\r\n\r\n");
        }
        ass = a.toUtf8();
        srt = s.toUtf8();
    }
};

struct Install {
    QTemporaryDir dir;
    QString withScripts, withoutScripts, withFloor, assFile, srtFile;
    Install()
    {
        auto program = [this](const char *name, const QString &script) {
            const QString folder = dir.filePath(QString::fromLatin1(name));
            QDir().mkpath(folder + QStringLiteral("/script"));
            if (!script.isEmpty())
                QFile::copy(script, folder + QStringLiteral("/script/subtitles.js"));
            return folder + QStringLiteral("/sorvane");
        };
        withScripts = program("with", QStringLiteral(SORVANE_SCRIPT_DIR "/subtitles.js"));
        withoutScripts = program("without", QString());
        withFloor = program("floor", QStringLiteral(SORVANE_BENCH_DIR "/ass_floor.js"));
        const CueFiles files;
        auto put = [this](const char *name, const QByteArray &bytes) {
            QFile f(dir.filePath(QString::fromLatin1(name)));
            f.open(QIODevice::WriteOnly);
            f.write(bytes);
            return f.fileName();
        };
        assFile = put("big.ass", files.ass);
        srtFile = put("big.srt", files.srt);
    }
};

Install &install()
{
    static Install i;
    return i;
}

// 0: ASS through the script; 1: SRT without a script; 2: SRT through the
// script; 3: ASS through the floor script.
void BM_ShippedScriptLoad(benchmark::State &state)
{
    const int which = int(state.range(0));
    FakePlatform fake;
    const QString programs[] = {install().withScripts, install().withoutScripts, install().withScripts,
                                install().withFloor};
    fake.programFile = programs[which];
    Main main(fake.services());
    main.initialise();
    const bool ass = which == 0 || which == 3;
    const QString file = ass ? install().assFile : install().srtFile;
    main.Config->setItem(QStringLiteral("Extension"), ass ? QStringLiteral("ass") : QStringLiteral("srt"));
    for (auto _ : state)
        main.Addsubtitles(file);
    state.counters["keys"] = double(main.subtitles->count());
    state.counters["boxes"] = double(fake.messageBoxes.size());
    static const char *const labels[] = {"ass+script", "srt", "srt+script", "ass+floor script"};
    state.SetLabel(labels[which]);
}
BENCHMARK(BM_ShippedScriptLoad)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
