// The VBScript built-ins scripts call in loops: name lookup, and Mid, Len,
// InStr and Replace over a subtitle-sized text.

#include "scripting/vbscript/VbBuiltins.h"

#include <benchmark/benchmark.h>

using namespace sorvane;
using namespace sorvane::vb;

namespace {

// About 64 KB of cue text, Chinese and English lines.
QString cueText()
{
    QString text;
    for (int n = 0; text.size() < 32 * 1024; ++n)
        text += QString::fromUtf16(u"第%1句字幕：今天的天气很好。\r\nLine %1: the weather is fine today.\r\n").arg(n);
    return text;
}

void BM_FindBuiltin(benchmark::State &state)
{
    const QStringList names = {QStringLiteral("mid"), QStringLiteral("FormatDateTime"), QStringLiteral("LEN"),
                               QStringLiteral("Replace"), QStringLiteral("NoSuchName")};
    for (auto _ : state)
        for (const QString &name : names)
            benchmark::DoNotOptimize(findBuiltin(name));
    state.SetItemsProcessed(state.iterations() * names.size());
}
BENCHMARK(BM_FindBuiltin);

// For i = 1 To Len(s): c = Mid(s, i, 1): Next
void BM_MidCharacterLoop(benchmark::State &state)
{
    BuiltinContext context;
    const Variant text(cueText());
    const BuiltinFunction mid = findBuiltin(QStringLiteral("Mid"))->function;
    const BuiltinFunction len = findBuiltin(QStringLiteral("Len"))->function;
    for (auto _ : state) {
        QVector<Variant> lenArgs{text};
        const qint32 n = len(context, lenArgs)->toLong().value();
        for (qint32 i = 1; i <= n; ++i) {
            QVector<Variant> args{text, Variant::fromLong(i), Variant::fromLong(1)};
            benchmark::DoNotOptimize(mid(context, args));
        }
        state.SetItemsProcessed(state.items_processed() + n);
    }
}
BENCHMARK(BM_MidCharacterLoop)->Unit(benchmark::kMillisecond);

void BM_InStrAllMatches(benchmark::State &state)
{
    BuiltinContext context;
    const Variant text(cueText());
    const BuiltinFunction instr = findBuiltin(QStringLiteral("InStr"))->function;
    for (auto _ : state) {
        qint32 at = 0, found = 0;
        for (;;) {
            QVector<Variant> args{Variant::fromLong(at + 1), text, Variant(QStringLiteral("weather")), Variant::fromLong(1)};
            at = instr(context, args)->toLong().value();
            if (at == 0)
                break;
            ++found;
        }
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_InStrAllMatches)->Unit(benchmark::kMicrosecond);

void BM_ReplaceLineBreaks(benchmark::State &state)
{
    BuiltinContext context;
    const Variant text(cueText());
    const BuiltinFunction replace = findBuiltin(QStringLiteral("Replace"))->function;
    for (auto _ : state) {
        QVector<Variant> args{text, Variant(QStringLiteral("\r\n")), Variant(QStringLiteral("<br>"))};
        benchmark::DoNotOptimize(replace(context, args));
    }
    state.SetBytesProcessed(state.iterations() * text.stringValue().size() * 2);
}
BENCHMARK(BM_ReplaceLineBreaks)->Unit(benchmark::kMicrosecond);

} // namespace
