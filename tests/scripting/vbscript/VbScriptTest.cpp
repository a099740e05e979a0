// Runs the .vbs case files of this folder. Each "' case:" starts a case that
// runs in a fresh engine; "' expect:" lines give what Test.Echo prints, in
// order; "' expect error: N [line L]" says the case ends with error N. Code
// written before the first case runs in every case's engine first.
#include "core/Dictionary.h"
#include "core/HostObject.h"
#include "scripting/vbscript/VbEngine.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <thread>

using namespace sorvane;

namespace {

// The driver's object "Test": Echo prints, the rest stand for host objects
// with the behaviours the language must meet.
class TestHost : public HostObject<TestHost> {
public:
    static const MemberTable<TestHost> &members()
    {
        using A = Arguments;
        static const MemberTable<TestHost> table({
            {"Echo", MemberKind::Method, 0, 1,
             [](TestHost &t, A &a) -> Result<Variant> {
                 const Variant v = a[0];
                 t.output << (v.isNull() ? QStringLiteral("Null") : v.isObject() ? v.typeName() : v.text());
                 return Variant();
             },
             nullptr},
            // Doubles its argument in place (an argument passed by reference).
            {"Twice", MemberKind::Method, 1, 1,
             [](TestHost &, A &a) -> Result<Variant> {
                 Result<double> d = a.toDouble(0);
                 if (!d)
                     return d.error();
                 a.ref(0) = Variant(*d * 2);
                 return Variant();
             },
             nullptr},
            {"NewDictionary", MemberKind::Method, 0, 0,
             [](TestHost &, A &) -> Result<Variant> { return Variant::fromObject(std::make_shared<Dictionary>()); },
             nullptr},
            {"Fail", MemberKind::Method, 1, 1,
             [](TestHost &, A &a) -> Result<Variant> {
                 return scriptError(ErrorNumber{a.toLong(0).valueOr(5)});
             },
             nullptr},
            // A value the host keeps, such as a script's object.
            {"Kept", MemberKind::Property, 0, 0, [](TestHost &t, A &) -> Result<Variant> { return t.kept; },
             [](TestHost &t, A &, const Variant &v) -> Status {
                 t.kept = v;
                 return {};
             }},
            // Calls a script object's default member with one argument.
            {"CallDefault", MemberKind::Method, 2, 2,
             [](TestHost &, A &a) -> Result<Variant> {
                 Result<std::shared_ptr<DispatchObject>> o = a.object(0);
                 if (!o)
                     return o.error();
                 QVector<Variant> args{a[1]};
                 return (*o)->invoke(QString(), CallKind::Get, args, Variant());
             },
             nullptr},
        });
        return table;
    }
    QString typeName() const override { return QStringLiteral("TestHost"); }

    QStringList output;
    Variant kept;
};

// A few functions of the language's library, for cases of the language
// itself; the library's own win when it has them.
const vb::BuiltinInfo kTestFunctions[] = {
    {"TypeName", 1, 1, [](vb::BuiltinContext &, QVector<Variant> &a) -> Result<Variant> { return Variant(a[0].typeName()); }},
    {"UBound", 1, 2,
     [](vb::BuiltinContext &, QVector<Variant> &a) -> Result<Variant> {
         if (!a[0].isArray())
             return scriptError(ErrorNumber::TypeMismatch);
         const int d = a.size() > 1 ? a[1].toLong().valueOr(0) : 1;
         const VariantArray &arr = a[0].arrayValue();
         if (d < 1 || d > arr.dimensions())
             return scriptError(ErrorNumber::SubscriptOutOfRange);
         return Variant::fromLong(arr.bounds[d - 1].upper);
     }},
    {"Array", 0, -1,
     [](vb::BuiltinContext &, QVector<Variant> &a) -> Result<Variant> { return Variant::fromList(a); }},
    {"CStr", 1, 1,
     [](vb::BuiltinContext &, QVector<Variant> &a) -> Result<Variant> {
         Result<QString> s = a[0].toString();
         if (!s)
             return s.error();
         return Variant(*s);
     }},
};

struct Case {
    QString name;
    QString code;
    QStringList expected;
    int error = 0;
    int errorLine = 0;
};

// The cases of a file, and in `prelude` the code written before its first
// case, which every case's engine runs first (helpers the cases share).
QVector<Case> readCases(const QString &path, QString &prelude)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    static const QRegularExpression expectError(QStringLiteral("^'\\s*expect error:\\s*(-?\\d+)(?:\\s+line\\s+(\\d+))?"));
    QVector<Case> cases;
    for (const QString &raw : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        QString line = raw;
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.startsWith(QLatin1String("' case:"))) {
            Case c;
            c.name = line.mid(7).trimmed();
            cases.append(c);
            continue;
        }
        if (cases.isEmpty()) {
            prelude += line + QLatin1Char('\n');
            continue;
        }
        Case &c = cases.last();
        if (line.startsWith(QLatin1String("' expect:"))) {
            QString text = line.mid(9);
            if (text.startsWith(QLatin1Char(' ')))
                text.remove(0, 1);
            c.expected << text;
        } else if (const auto m = expectError.match(line); m.hasMatch()) {
            c.error = m.captured(1).toInt();
            c.errorLine = m.captured(2).toInt();
        } else {
            c.code += line + QLatin1Char('\n');
        }
    }
    return cases;
}

std::vector<std::string> caseFiles()
{
    std::vector<std::string> files;
    const QDir dir(QStringLiteral(SORVANE_VBSCRIPT_TESTS));
    for (const QString &name : dir.entryList({QStringLiteral("*.vbs")}, QDir::Files, QDir::Name))
        files.push_back(name.toStdString());
    return files;
}

class VbScriptFiles : public testing::TestWithParam<std::string> {};

TEST_P(VbScriptFiles, CasesGiveTheirExpectedOutput)
{
    const QString path = QStringLiteral(SORVANE_VBSCRIPT_TESTS "/") + QString::fromStdString(GetParam());
    QString prelude;
    const QVector<Case> cases = readCases(path, prelude);
    ASSERT_FALSE(cases.isEmpty()) << path.toStdString();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        vb::VbEngine engine;
        for (const vb::BuiltinInfo &f : kTestFunctions)
            if (!vb::findBuiltin(QString::fromUtf8(f.name)))
                engine.defineFunction(f);
        auto test = std::make_shared<TestHost>();
        engine.expose(QStringLiteral("Test"), Variant::fromObject(test));
        engine.setStepLimit(5'000'000);
        // Run on its own, so that the case's lines keep their numbers.
        const Status shared = engine.execute(prelude);
        ASSERT_TRUE(shared.ok()) << "prelude: " << shared.error().description.toStdString() << " line "
                                 << shared.error().line;
        const Status status = engine.execute(c.code);
        EXPECT_EQ(test->output.join(QLatin1Char('\n')).toStdString(), c.expected.join(QLatin1Char('\n')).toStdString())
            << c.code.toStdString();
        if (c.error == 0) {
            EXPECT_TRUE(status.ok()) << status.error().number << " " << status.error().description.toStdString()
                                     << " line " << status.error().line << ": " << status.error().text.toStdString();
        } else {
            ASSERT_FALSE(status.ok()) << "expected error " << c.error;
            EXPECT_EQ(status.error().number, c.error) << status.error().description.toStdString();
            if (c.errorLine > 0) {
                EXPECT_EQ(status.error().line, c.errorLine);
            }
        }
    }
}

std::string fileTestName(const testing::TestParamInfo<std::string> &info)
{
    std::string name;
    for (char ch : info.param.substr(0, info.param.size() - 4))
        name += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(VbScript, VbScriptFiles, testing::ValuesIn(caseFiles()), fileTestName);

} // namespace

namespace {

struct EngineWithTest {
    EngineWithTest()
    {
        engine = std::make_unique<vb::VbEngine>();
        engine->expose(QStringLiteral("Test"), Variant::fromObject(test));
    }
    std::shared_ptr<TestHost> test = std::make_shared<TestHost>();
    std::unique_ptr<vb::VbEngine> engine;
};

TEST(VbEngineTest, ScriptObjectsKeptByTheHostFailCleanlyOnceTheEngineIsGone)
{
    EngineWithTest e;
    ASSERT_TRUE(e.engine->execute("Class Cell\n Public Value\n Private Sub Class_Terminate()\n Value = 0\n End Sub\n"
                                  "End Class\nSet c = New Cell\nc.Value = 7\nSet Test.Kept = c")
                    .ok());
    const std::shared_ptr<DispatchObject> kept = e.test->kept.objectValue();
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->get(QStringLiteral("Value")).valueOr(Variant()), Variant::fromInteger(7));
    EXPECT_EQ(kept->typeName(), QStringLiteral("Cell"));
    EXPECT_FALSE(kept->member(QStringLiteral("Missing")).has_value());

    e.engine.reset();
    Result<Variant> after = kept->get(QStringLiteral("Value"));
    ASSERT_FALSE(after.ok());
    EXPECT_EQ(after.error().number, 424);
    e.test->kept = Variant(); // the last reference goes without its engine
}

TEST(VbEngineTest, InterruptStopsARunFromAnotherThread)
{
    EngineWithTest e;
    std::thread stopper([&e] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        e.engine->interrupt();
    });
    const Status s = e.engine->execute("On Error Resume Next\nDo\n x = x + 1\nLoop");
    stopper.join();
    ASSERT_FALSE(s.ok());
    EXPECT_EQ(s.error().description, QStringLiteral("The script ran for too long and was stopped"));
    EXPECT_TRUE(e.engine->wasInterrupted());
}

TEST(VbEngineTest, TheStepLimitStopsAfterExactlyThatManyStatements)
{
    // Statement 1 is On Error, 2 the For; then each pass runs the Echo and
    // the loop's own step, so Echo k is statement 2k + 1.
    for (const int limit : {1, 2, 3, 7, 255, 256, 257, 258, 1000}) {
        EngineWithTest e;
        e.engine->setStepLimit(limit);
        const Status s = e.engine->execute("On Error Resume Next\nFor i = 1 To 100000\n Test.Echo i\nNext");
        ASSERT_FALSE(s.ok()) << limit;
        EXPECT_EQ(s.error().number, 5022) << limit;
        EXPECT_EQ(e.test->output.size(), (limit - 1) / 2) << limit;
        EXPECT_TRUE(e.engine->wasInterrupted());
        // A stopped engine runs nothing more.
        e.test->output.clear();
        EXPECT_FALSE(e.engine->execute("Test.Echo 1").ok());
        EXPECT_TRUE(e.test->output.isEmpty());
    }
}

TEST(VbEngineTest, HostCallsAreBracketedByTheHook)
{
    EngineWithTest e;
    int depth = 0, calls = 0, worst = 0;
    e.engine->setHostCallHook([&](bool entering) {
        depth += entering ? 1 : -1;
        calls += entering ? 1 : 0;
        worst = std::min(worst, depth);
    });
    const Status s = e.engine->execute("Test.Echo 1\nOn Error Resume Next\nTest.Fail 5\nSet d = Test.NewDictionary()\n"
                                       "For Each k In d\nNext");
    EXPECT_TRUE(s.ok());
    EXPECT_EQ(depth, 0);
    EXPECT_EQ(worst, 0);
    EXPECT_EQ(calls, 4);
}

TEST(VbEngineTest, EvalGivesValuesAndErrors)
{
    vb::VbEngine engine;
    ASSERT_TRUE(engine.execute("x = 20").ok());
    struct Case {
        const char *expression;
        Variant value;
        int error;
    };
    const Case cases[] = {
        {"x * 2 + 2", Variant::fromInteger(42), 0},
        {"x & \"\"", Variant("20"), 0},
        {"1 / 0", Variant(), 11},
        {"x +", Variant(), 1023},
    };
    for (const Case &c : cases) {
        Result<Variant> r = engine.eval(QString::fromUtf8(c.expression));
        if (c.error == 0) {
            ASSERT_TRUE(r.ok()) << c.expression << " " << r.error().description.toStdString();
            EXPECT_EQ(*r, c.value) << c.expression;
        } else {
            ASSERT_FALSE(r.ok()) << c.expression;
            EXPECT_EQ(r.error().number, c.error) << c.expression;
        }
    }
}

} // namespace
