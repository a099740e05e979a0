// Loading subtitle files into the cue table, each next to its anchors in
// the same run: a reader that only counts "-->" with memchr (the floor), in
// this process and as a program of its own, and, when ffmpeg is installed,
// ffmpeg converting the same file to SRT; for the film also a plain Python
// regex parser doing the same work.
#include "app/Main.h"
#include "floor/ArrowCount.h"
#include "platform/fake/FakePlatform.h"
#include "core/Dictionary.h"
#include "text/CharsetDetector.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include "PythonTiming.h"

#include <benchmark/benchmark.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace sorvane;

// `count` cues over `seconds` (a film: two hours; the big files: one day), Chinese and English lines, some <i> tags and
// {\an8} codes, CR LF line ends.
QByteArray makeFile(int count, bool gbk, int seconds = 86000)
{
    QString text;
    text.reserve(count * 100);
    const int span = int(qint64(seconds) * 1000 / count);
    for (int i = 0; i < count; ++i) {
        const qint64 start = qint64(i) * span, end = start + span * 2 / 3;
        auto stamp = [](qint64 ms) {
            return QString::asprintf("%02lld:%02lld:%02lld,%03lld", ms / 3600000, ms / 60000 % 60, ms / 1000 % 60,
                                     ms % 1000);
        };
        text += QString::number(i + 1) + QStringLiteral("\r\n") + stamp(start) + QStringLiteral(" --> ") + stamp(end) +
                QStringLiteral("\r\n");
        text += (i % 7 == 0 ? QStringLiteral("{\\an8}") : QString()) + QStringLiteral("我们今天晚上去看电影吧，好吗？第") +
                QString::number(i) + QStringLiteral("句\r\n");
        text += (i % 5 == 0 ? QStringLiteral("<i>Shall we go to the movies tonight?</i>")
                            : QStringLiteral("Shall we go to the movies tonight, okay?")) +
                QStringLiteral("\r\n\r\n");
    }
    if (gbk) {
        QStringEncoder encoder("GB18030");
        return encoder.encode(text);
    }
    return text.toUtf8();
}

// Each file is written when a benchmark first asks for it, so that a run
// filtered to one file does not pay for the others.
const QString &fileOf(int which)
{
    static QTemporaryDir dir;
    static QString paths[4];
    QString &path = paths[which];
    if (path.isEmpty()) {
        static const char *const names[] = {"film.srt", "big-utf8.srt", "big-gbk.srt", "film-gbk.srt"};
        QFile f(dir.filePath(QString::fromLatin1(names[which])));
        f.open(QIODevice::WriteOnly);
        f.write(which == 0 || which == 3 ? makeFile(1500, which == 3, 7200) : makeFile(100000, which == 2));
        path = f.fileName();
    }
    return path;
}

void BM_LoadIntoCueTable(benchmark::State &state)
{
    FakePlatform fake;
    // Pauses run events once per frame, as the program's platform layer does.
    auto lastEvents = std::chrono::steady_clock::now();
    fake.eventsDueHook = [&lastEvents] {
        const auto now = std::chrono::steady_clock::now();
        if (now - lastEvents < std::chrono::milliseconds(16))
            return false;
        lastEvents = now;
        return true;
    };
    Main main(fake.services());
    main.initialise();
    const QString file = fileOf(int(state.range(0)));
    for (auto _ : state)
        main.Addsubtitles(file);
    state.counters["keys"] = main.subtitles->count();
    state.SetLabel(QFile(file).fileName().section(u'/', -1).toStdString());
}
BENCHMARK(BM_LoadIntoCueTable)->Arg(0)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);

// What finding the character set of a file that is neither marked nor UTF-8
// adds to its load: the detector on the GBK film.
void BM_DetectCharsetOfGbkFilm(benchmark::State &state)
{
    QFile f(fileOf(3));
    f.open(QIODevice::ReadOnly);
    const QByteArray bytes = f.readAll();
    for (auto _ : state)
        benchmark::DoNotOptimize(CharsetDetector::detect(bytes));
    state.SetLabel(CharsetDetector::detect(bytes).toStdString());
}
BENCHMARK(BM_DetectCharsetOfGbkFilm)->Unit(benchmark::kMillisecond);

// The floor inside this process: read the file and count its "-->".
void BM_FloorReadAndCount(benchmark::State &state)
{
    const QByteArray path = fileOf(int(state.range(0))).toLocal8Bit();
    for (auto _ : state) {
        std::FILE *f = std::fopen(path.constData(), "rb");
        std::fseek(f, 0, SEEK_END);
        const long size = std::ftell(f);
        std::fseek(f, 0, SEEK_SET);
        std::string bytes(size_t(size), '\0');
        benchmark::DoNotOptimize(std::fread(bytes.data(), 1, bytes.size(), f));
        std::fclose(f);
        const long arrows = countArrows(bytes.data(), bytes.size());
        benchmark::DoNotOptimize(arrows);
    }
}
BENCHMARK(BM_FloorReadAndCount)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// A plain Python regex parser doing the same work on the film
// (bench/regex_parser.py), timed inside Python: a reference for how fast the
// machine is at the time of the run. Skipped without python3.
void BM_PythonRegexParser(benchmark::State &state)
{
    const std::string command = std::string("python3 '") + SORVANE_BENCH_DIR + "/regex_parser.py' '" +
                                fileOf(int(state.range(0))).toStdString() + "' 2>/dev/null";
    runTimedPython(state, command);
}
BENCHMARK(BM_PythonRegexParser)->Arg(0)->UseManualTime()->Unit(benchmark::kMillisecond);

// Runs a program with its output thrown away and waits for it; the exit
// status, or -1 when it could not be started.
int runProgram(const std::vector<std::string> &args)
{
    std::vector<char *> argv;
    for (const std::string &a : args)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        return -1;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Times a program run on each file, in wall time: its work is done in
// another process.
void runAnchor(benchmark::State &state, const std::vector<std::string> &args)
{
    if (runProgram(args) != 0) {
        state.SkipWithError((args[0] + " did not run").c_str());
        for (auto _ : state) {
        }
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(runProgram(args));
}

// The floor as a program of its own, started like ffmpeg.
void BM_FloorProgram(benchmark::State &state)
{
    runAnchor(state, {SORVANE_FLOOR_PROGRAM, fileOf(int(state.range(0))).toStdString()});
}
BENCHMARK(BM_FloorProgram)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

// The ffmpeg anchor: the same file converted to SRT (skipped without ffmpeg).
void BM_FfmpegConvert(benchmark::State &state)
{
    const int which = int(state.range(0));
    std::vector<std::string> args = {"ffmpeg", "-nostdin", "-v", "error"};
    if (which == 2)
        args.insert(args.end(), {"-sub_charenc", "GBK"});
    args.insert(args.end(), {"-i", fileOf(which).toStdString(), "-f", "srt", "-y", "/dev/null"});
    runAnchor(state, args);
}
BENCHMARK(BM_FfmpegConvert)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

} // namespace
