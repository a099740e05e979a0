#include "BuiltinCall.h"

#include <limits>

using namespace sorvane;
using namespace sorvane::vb;
using namespace sorvane::vb::testing_support;

namespace {

// Awkward values of every kind: each built-in given any of them in any
// position answers with a value or a numbered error, never a crash.
QVector<Variant> awkwardValues()
{
    VariantArray twoDimensions;
    twoDimensions.bounds = {{0, 1}, {0, 1}};
    twoDimensions.items.resize(4);
    return {Variant(),
            Variant::null(),
            Variant(true),
            Variant::fromInteger(-32768),
            Variant::fromLong(std::numeric_limits<qint32>::max()),
            Variant::fromLong(-1),
            Variant::fromDouble(1e300),
            Variant::fromDouble(-0.5),
            Variant::fromDouble(std::numeric_limits<double>::infinity()),
            Variant::fromDate(-657434.5),
            Variant(QString()),
            Variant(QStringLiteral("yyyy")),
            Variant(QString::fromUtf8("中😀\0x", 9)),
            Variant::nothing(),
            Variant::fromList({Variant(QStringLiteral("a")), Variant::null()}),
            Variant::fromArray(VariantArray{}),
            Variant::fromArray(twoDimensions)};
}

void expectAnswer(BuiltinContext &context, const BuiltinInfo &info, QVector<Variant> args)
{
    const Result<Variant> result = info.function(context, args);
    if (!result.ok()) {
        EXPECT_GT(result.error().number, 0) << info.name;
        EXPECT_FALSE(result.error().description.isEmpty()) << info.name << " " << result.error().number;
    }
}

TEST(VbBuiltinsRobustness, EveryFunctionAnswersAwkwardArguments)
{
    const QVector<Variant> values = awkwardValues();
    BuiltinContext context;
    context.now = [] { return 45366.5; };
    int calls = 0;
    for (const QString &name : languageFunctionNames()) {
        const BuiltinInfo *info = findBuiltin(name);
        ASSERT_NE(info, nullptr);
        const int most = std::min(info->maxArgs, 7);
        for (int count = info->minArgs; count <= most; ++count) {
            if (count == 0) {
                expectAnswer(context, *info, {});
                ++calls;
                continue;
            }
            // Up to three arguments: every combination; beyond, one awkward
            // argument at a time among ordinary ones.
            if (count <= 3) {
                QVector<int> index(count, 0);
                for (;;) {
                    QVector<Variant> args;
                    for (int i : index)
                        args.append(values[i]);
                    expectAnswer(context, *info, args);
                    ++calls;
                    int p = 0;
                    while (p < count && ++index[p] == values.size())
                        index[p++] = 0;
                    if (p == count)
                        break;
                }
            } else {
                for (int position = 0; position < count; ++position)
                    for (const Variant &value : values) {
                        QVector<Variant> args(count, Variant::fromInteger(1));
                        args[position] = value;
                        expectAnswer(context, *info, args);
                        ++calls;
                    }
            }
        }
    }
    EXPECT_GT(calls, 50000);
}

} // namespace
