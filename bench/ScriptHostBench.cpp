#include "app/Main.h"
#include "platform/fake/FakePlatform.h"
#include "core/Dictionary.h"

#include <benchmark/benchmark.h>

namespace {

using namespace sorvane;

struct Program {
    Program()
    {
        main.initialise();
    }
    FakePlatform fake;
    Main main{fake.services()};
};

// One small script, engine creation and the exposure of every name included.
void BM_RunScriptSmall(benchmark::State &state)
{
    Program p;
    for (auto _ : state)
        p.main.RunScript(QStringLiteral("Main.Config('FontSize', Main.Config('FontSize') + 1);"),
                         QStringLiteral("JavaScript"), true);
    if (!p.fake.messageBoxes.isEmpty())
        state.SkipWithError("the script failed");
}
BENCHMARK(BM_RunScriptSmall)->Unit(benchmark::kMillisecond);

// 100,000 reads of a setting through the binding, in one run.
void BM_ConfigItemReads100k(benchmark::State &state)
{
    Program p;
    const QString code = QStringLiteral(
        "var n = 0; for (var i = 0; i < 100000; i++) n += Main.Config.Item('FontSize'); Main.Config('sum', n);");
    for (auto _ : state)
        p.main.RunScript(code, QStringLiteral("JavaScript"), true);
    if (p.main.Config->item(QStringLiteral("sum")) != Variant::fromLong(2400000))
        state.SkipWithError("wrong sum");
}
BENCHMARK(BM_ConfigItemReads100k)->Unit(benchmark::kMillisecond);

} // namespace
