#include "core/Dictionary.h"
#include "scripting/vbscript/VbEngine.h"

#include "PythonTiming.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

namespace {

using namespace sorvane;

// Len and Mid as the library defines them, for runs without the library.
const vb::BuiltinInfo kStandIns[] = {
    {"Len", 1, 1,
     [](vb::BuiltinContext &, QVector<Variant> &a) -> Result<Variant> {
         return Variant::fromLong(qint32(a[0].text().size()));
     }},
    {"Mid", 2, 3,
     [](vb::BuiltinContext &, QVector<Variant> &a) -> Result<Variant> {
         const QString s = a[0].text();
         const qint32 start = a[1].toLong().valueOr(1);
         const qint32 length = a.size() > 2 ? a[2].toLong().valueOr(0) : qint32(s.size());
         return Variant(s.mid(start - 1, length));
     }},
};

void run(benchmark::State &state, const QString &code, const char *check, const Variant &expected)
{
    for (auto _ : state) {
        vb::VbEngine engine;
        for (const vb::BuiltinInfo &f : kStandIns)
            if (!vb::findBuiltin(QString::fromUtf8(f.name)))
                engine.defineFunction(f);
        engine.expose(QStringLiteral("d"), Variant::fromObject(std::make_shared<Dictionary>()));
        engine.setHostCallHook([](bool) {}); // as the program's script host does
        const Status s = engine.execute(code);
        if (!s) {
            state.SkipWithError(s.error().description.toStdString().c_str());
            return;
        }
        Result<Variant> r = engine.eval(QString::fromUtf8(check));
        if (!r || *r != expected) {
            state.SkipWithError("wrong result");
            return;
        }
    }
}

// python3 -c 'n=0
// for i in range(1,1000001): n = n + i % 7
// print(n)'
void BM_VbNumericLoop1M(benchmark::State &state)
{
    run(state, QStringLiteral("n = 0\nFor i = 1 To 1000000\n  n = n + i Mod 7\nNext"), "n",
        Variant::fromLong(2999998));
}
BENCHMARK(BM_VbNumericLoop1M)->Unit(benchmark::kMillisecond);

// A text of 100,000 characters built one at a time, each step reading back
// a character and the length.
void BM_VbStringBuilding100k(benchmark::State &state)
{
    run(state,
        QStringLiteral("s = \"\"\nFor i = 1 To 100000\n  s = s & Mid(\"abcdefghij\", (i Mod 10) + 1, 1)\n"
                       "  If Len(s) <> i Then s = \"wrong\"\nNext\nn = Len(s)"),
        "n", Variant::fromLong(100000));
}
BENCHMARK(BM_VbStringBuilding100k)->Unit(benchmark::kMillisecond);

// A dictionary filled with 100,000 keys and every one read back.
void BM_VbDictionary100k(benchmark::State &state)
{
    run(state,
        QStringLiteral("For i = 1 To 100000\n  d.Add \"k\" & i, i\nNext\nn = 0\n"
                       "For i = 1 To 100000\n  n = n + d(\"k\" & i)\nNext"),
        "n", Variant::fromDouble(5000050000.0));
}
BENCHMARK(BM_VbDictionary100k)->Unit(benchmark::kMillisecond);

// The same three programs run by python3 (bench/vbscript/same_in_python.py),
// timed inside Python so that its start-up is left out: 0 the numeric loop,
// 1 the text, 2 the dictionary. Skipped without python3.
void BM_Python3SameProgram(benchmark::State &state)
{
    const std::string command = std::string("python3 '") + SORVANE_BENCH_DIR +
                                "/vbscript/same_in_python.py' " + std::to_string(state.range(0)) + " 2>/dev/null";
    runTimedPython(state, command);
}
BENCHMARK(BM_Python3SameProgram)->Arg(0)->Arg(1)->Arg(2)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
