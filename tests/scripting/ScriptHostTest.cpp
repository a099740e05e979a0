#include "app/Main.h"
#include "page/PageDocument.h"
#include "platform/fake/FakePlatform.h"
#include "scripting/ScriptHost.h"
#include "core/Dictionary.h"
#include "VariantPrinter.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <atomic>
#include <system_error>
#include <thread>

using namespace sorvane;

namespace {

class ScriptHostTest : public testing::Test {
protected:
    void SetUp() override
    {
        main = std::make_unique<Main>(fake.services());
        main->initialise();
    }

    void run(const QString &code, const QString &language = "JavaScript", bool showErrors = true)
    {
        main->RunScript(code, language, showErrors);
    }

    Variant config(const char *key) { return main->Config->item(QString::fromUtf8(key)); }

    // The report's lines, when a run failed.
    QStringList reportLines()
    {
        if (fake.messageBoxes.isEmpty())
            return {};
        return fake.messageBoxes.last().text.split("\r\n");
    }

    // The budget's time is the test's: each look at it moves it on by
    // `step` milliseconds, and a box can move it further.
    void useManualTime(qint64 stepMs = 0)
    {
        step = stepMs;
        main->scriptHost().now = [this] { return std::chrono::milliseconds(time += step); };
    }

    FakePlatform fake;
    std::unique_ptr<Main> main;
    std::atomic<qint64> time{0};
    std::atomic<qint64> step{0};
};

TEST_F(ScriptHostTest, BlankCodeRunsNothing)
{
    run(QString::fromUtf8(" \r\n\t") + QChar(0) + "  ");
    run("");
    EXPECT_TRUE(fake.messageBoxes.isEmpty());
}

TEST_F(ScriptHostTest, ExposesTheWindowItsControlsAndFilter)
{
    run("Main.Config('count', filter.Count);"
        "Main.Config('main', filter.Exists('Main'));"
        "Main.Config('app', filter.Exists('App'));"
        "Main.Config('timer', Timer2.Interval);"
        "Main.Config('shadow', OnShadow.Caption);"
        "Main.Config('path', App.Path);"
        "Main.Config('screen', Screen.Width / Screen.TwipsPerPixelX);"
        "Main.Config('form', Screen.ActiveForm.Name);");
    ASSERT_TRUE(fake.messageBoxes.isEmpty()) << fake.messageBoxes.first().text.toStdString();
    EXPECT_EQ(config("count"), Variant::fromLong(40)); // Main and 39 controls, each group once
    EXPECT_EQ(config("main"), Variant(true));
    EXPECT_EQ(config("app"), Variant(false));
    EXPECT_EQ(config("timer"), Variant::fromLong(200));
    EXPECT_EQ(config("shadow"), Variant(u"字体发光"));
    EXPECT_EQ(config("path"), Variant("/opt/sorvane"));
    EXPECT_EQ(config("screen"), Variant::fromLong(1920));
    EXPECT_EQ(config("form"), Variant("Main"));
}

TEST_F(ScriptHostTest, AlertOnlyForALanguageReadBackAsJavaScript)
{
    struct Case {
        const char *language;
        const char *type;
    };
    const Case cases[] = {{"JavaScript", "function"}, {"javascript", "undefined"}, {"JScript", "undefined"}};
    for (const Case &c : cases) {
        run("Main.Config('t', typeof alert);", c.language);
        EXPECT_EQ(config("t"), Variant(c.type)) << c.language;
    }
}

TEST_F(ScriptHostTest, SyntaxErrorReportsItsPlace)
{
    run("var a = 1;\nvar b = 2;\nvar c = ;\n");
    ASSERT_EQ(fake.messageBoxes.size(), 1);
    const MessageBoxRequest &box = fake.messageBoxes.first();
    EXPECT_EQ(box.type, 48);
    EXPECT_EQ(box.timeoutMs, 30000);
    EXPECT_EQ(box.owner, std::optional<Rect>(fake.rect));
    const QStringList lines = reportLines();
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[0], QString::fromUtf8("源:　　JavaScript compilation error"));
    EXPECT_EQ(lines[1], QString::fromUtf8("行:　　3"));
    EXPECT_EQ(lines[2], QString::fromUtf8("位置:　8"));
    EXPECT_TRUE(lines[3].startsWith(QString::fromUtf8("错误:　")));
    EXPECT_EQ(lines[4], QString::fromUtf8("代码:　800A03EA"));
    EXPECT_EQ(lines[5], QString::fromUtf8("文本:　var c = ;"));
    EXPECT_EQ(box.caption, lines[3].mid(4));
}

TEST_F(ScriptHostTest, RunTimeErrorsCarryThePlatformsNumbers)
{
    struct Case {
        const char *code;
        int line;
        const char *hex;
    };
    const Case cases[] = {
        {"var x = 1;\n  Main.NoSuchMethod();", 2, "800A01B6"},       // 438 from the host
        {"\n\nnothing_here + 1;", 3, "800A1391"},                      // an undefined name
        {"Main.Config.Add('Color', 1);", 1, "800A01C9"},               // 457: the key exists
        {"new ActiveXObject('No.Such.Thing');", 1, "800A01AD"},        // 429
        {"throw { number: 5, message: 'mine' };", 1, "800A0005"},
    };
    for (const Case &c : cases) {
        fake.messageBoxes.clear();
        run(QString::fromUtf8(c.code));
        const QStringList lines = reportLines();
        ASSERT_EQ(lines.size(), 6) << c.code;
        EXPECT_EQ(lines[0], QString::fromUtf8("源:　　JavaScript runtime error")) << c.code;
        EXPECT_EQ(lines[1], QString::fromUtf8("行:　　") + QString::number(c.line)) << c.code;
        EXPECT_EQ(lines[4], QString::fromUtf8("代码:　") + c.hex) << c.code;
    }
}

TEST_F(ScriptHostTest, ErrorsAreDroppedWhenNotShown)
{
    run("var c = ;", "JavaScript", false);
    EXPECT_TRUE(fake.messageBoxes.isEmpty());
}

TEST_F(ScriptHostTest, RunsDoNotShareGlobals)
{
    run("var leftover = 5;");
    run("Main.Config('t', typeof leftover);");
    EXPECT_EQ(config("t"), Variant("undefined"));
}

TEST_F(ScriptHostTest, PropertiesMethodsAndDefaultMembers)
{
    run("Main.MSID = 5;"
        "Main.OnShadow.Checked = true;"
        "Main.document.getElementById('code').style.color = 'red';"
        "Main.Config.Item('Color', 'yellow');"
        "Main.Config('viaDefault', Main.Config('Color'));"
        "Main.OnWeight(2).Checked = true;"
        "Main.Config('weight', Main.OnWeight(2).Caption);"
        "Main.Config('upper', Main.CONFIG.ITEM('FontSize'));"
        "Main.Config('keys', Main.Config.Keys()[0]);"
        "Main.Config('missing', Main.document.getElementById('nope'));");
    ASSERT_TRUE(fake.messageBoxes.isEmpty()) << fake.messageBoxes.first().text.toStdString();
    EXPECT_EQ(main->MSID, 5);
    EXPECT_TRUE(main->menu.at(main->menu.find("OnShadow")).checked);
    EXPECT_EQ(main->document->getElementById("code")->style().property("color"), "red");
    EXPECT_EQ(config("Color"), Variant("yellow"));
    EXPECT_EQ(config("viaDefault"), Variant("yellow"));
    EXPECT_TRUE(main->menu.at(main->menu.find("OnWeight", 2)).checked);
    EXPECT_EQ(config("weight"), Variant("bold"));
    EXPECT_EQ(config("upper"), Variant::fromLong(24)); // JavaScript numbers come back whole as Long
    EXPECT_EQ(config("keys"), Variant("Caption"));
    EXPECT_TRUE(config("missing").isNull());
}

TEST_F(ScriptHostTest, ValuesConvertBothWays)
{
    run("var c = Main.Config;"
        "c('long', 5); c('double', 2.5); c('text', 'x'); c('bool', true);"
        "c('null', null); c('empty', undefined); c('date', new Date(2020, 0, 2, 6, 0, 0));"
        "c('array', [1, 'a']);"
        "c('sizeType', typeof c('FontSize'));"
        "c('shadowType', typeof c('Shadow'));"
        "c('dateBack', c('date') instanceof Date && c('date').getHours() == 6);"
        "c('keysIsArray', Array.isArray(c.Keys()));"
        "c('emptyBack', c('empty') === undefined);");
    ASSERT_TRUE(fake.messageBoxes.isEmpty()) << fake.messageBoxes.first().text.toStdString();
    EXPECT_EQ(config("long"), Variant::fromLong(5));
    EXPECT_EQ(config("double"), Variant(2.5));
    EXPECT_EQ(config("text"), Variant("x"));
    EXPECT_EQ(config("bool"), Variant(true));
    EXPECT_TRUE(config("null").isNull());
    EXPECT_TRUE(config("empty").isEmpty());
    EXPECT_EQ(config("date"), Variant::fromDate(43832.25));
    EXPECT_EQ(config("array"), Variant::fromList({Variant::fromLong(1), Variant("a")}));
    EXPECT_EQ(config("sizeType"), Variant("number"));
    EXPECT_EQ(config("shadowType"), Variant("boolean"));
    EXPECT_EQ(config("dateBack"), Variant(true));
    EXPECT_EQ(config("keysIsArray"), Variant(true));
    EXPECT_EQ(config("emptyBack"), Variant(true));
}

TEST_F(ScriptHostTest, CreatesObjectsAndPassesArraysByReference)
{
    run("var d = new ActiveXObject('Scripting.Dictionary');"
        "d.Add('a', 1); d('b', 2);"
        "Main.Config('count', d.Count);"
        "var list = []; Main.Push(list, 'x'); Main.Push(list, 'y');"
        "Main.Config('pushed', list.join(','));"
        "try { Main.NoSuch; } catch (e) { Main.Config('number', e.number); Main.Config('text', e.description); }");
    ASSERT_TRUE(fake.messageBoxes.isEmpty()) << fake.messageBoxes.first().text.toStdString();
    EXPECT_EQ(config("count"), Variant::fromLong(2));
    EXPECT_EQ(config("pushed"), Variant("x,y"));
    EXPECT_EQ(config("number"), Variant::fromLong(qint32(0x800A01B6)));
    EXPECT_EQ(config("text"), Variant("Object doesn't support this property or method"));
}

TEST_F(ScriptHostTest, BoxesAnswerScripts)
{
    fake.inputAnswers = {QString("typed")};
    run("Main.Config('answer', Main.InputBoxB('prompt', 'title', 'default'));");
    EXPECT_EQ(config("answer"), Variant("typed"));
    ASSERT_EQ(fake.inputBoxes.size(), 1);
    EXPECT_EQ(fake.inputBoxes.first().value, "default");
}

TEST_F(ScriptHostTest, ARunawayScriptIsStopped)
{
    main->scriptHost().budget = std::chrono::milliseconds(100);
    run("while (true) {}");
    const QStringList lines = reportLines();
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[3], QString::fromUtf8("错误:　The script ran for too long and was stopped"));
}

TEST_F(ScriptHostTest, TimeInABoxDoesNotCount)
{
    useManualTime();
    fake.whileBoxOpen = [this] { time += 3600000; };
    run("Main.InputBoxB('p', 't', 'v'); alert('x'); new ActiveXObject('WScript.Shell').Popup('y');"
        "Main.MsgBoxB('z', 0, 'c'); Main.Config('done', true);");
    EXPECT_EQ(config("done"), Variant(true));
    EXPECT_EQ(fake.messageBoxes.size(), 3);
}

TEST_F(ScriptHostTest, OtherLanguagesAreReported)
{
    struct Case {
        const char *language;
        const char *code;
        const char *source;
    };
    const Case cases[] = {{"VBScript", "x = ", "Microsoft VBScript compilation error"},
                          {"Perl", "x = 1", "RunScript"}};
    for (const Case &c : cases) {
        fake.messageBoxes.clear();
        run(c.code, c.language);
        const QStringList lines = reportLines();
        ASSERT_EQ(lines.size(), 6) << c.language;
        EXPECT_EQ(lines[0], QString::fromUtf8("源:　　") + c.source);
    }
}

TEST_F(ScriptHostTest, FilterListsTheWindowThenTheControlsInOrder)
{
    run("var k = filter.Keys(); Main.Config('first', k[0]); Main.Config('second', k[1]);"
        "Main.Config('last', k[k.length - 1]);");
    EXPECT_EQ(config("first"), Variant("Main"));
    EXPECT_EQ(config("second"), Variant("OnInfo"));
    EXPECT_EQ(config("last"), Variant("dfgdfgdf"));
}

TEST_F(ScriptHostTest, AlertShowsThePopUpBox)
{
    run("alert('hello');");
    ASSERT_EQ(fake.messageBoxes.size(), 1);
    EXPECT_EQ(fake.messageBoxes.first().text, "hello");
    EXPECT_EQ(fake.messageBoxes.first().caption, "Microsoft Internet Explorer");
    EXPECT_EQ(fake.messageBoxes.first().type, 48);
    EXPECT_EQ(fake.messageBoxes.first().timeoutMs, 0);
}

TEST_F(ScriptHostTest, AScriptUsesTheCodecAndRegularExpressionsEndToEnd)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.path() + "/out.txt";
    main->Config->setItem("Temp", file);
    run(QString::fromUtf8(
        "var path = Main.Config('Temp');"
        "Main.PutStrText(path, '字幕 line 12', 'UTF-8');"
        "var text = Main.GetStrText(path, '');"
        "var re = new ActiveXObject('VBScript.RegExp'); re.Pattern = '\\\\d+'; re.Global = true;"
        "var m = re.Execute(text);"
        "Main.Config('found', m.Count + ':' + m(0).Value);"
        "Main.Config('text', text);"));
    if (!fake.messageBoxes.isEmpty())
        qDebug() << fake.messageBoxes.first().text;
    ASSERT_TRUE(fake.messageBoxes.isEmpty());
    EXPECT_EQ(config("found"), Variant("1:12"));
    EXPECT_EQ(config("text"), Variant(QString::fromUtf8("字幕 line 12")));
    EXPECT_EQ(config("CharSet"), Variant("UTF-8")); // read back through its mark
}

TEST(ScriptErrorReport, CodeKeepsHighBitsOfAFullNumber)
{
    ScriptError e = scriptError(ErrorNumber::SyntaxError);
    EXPECT_TRUE(ScriptHost::errorReport(e).contains(QString::fromUtf8("代码:　800A03EA")));
    e.number = qint32(0x80070005);
    EXPECT_TRUE(ScriptHost::errorReport(e).contains(QString::fromUtf8("代码:　800F0005")));
}

} // namespace

TEST_F(ScriptHostTest, VBScriptSeesTheSameObjectsWithoutAlert)
{
    run("Main.Config(\"count\") = filter.Count\n"
        "Main.Config(\"main\") = filter.Exists(\"Main\")\n"
        "Main.Config(\"timer\") = Timer2.Interval\n"
        "Main.Config(\"shadow\") = OnShadow.Caption\n"
        "Main.Config(\"path\") = App.Path\n"
        "Main.Config(\"form\") = Screen.ActiveForm.Name\n"
        "Main.OnWeight(2).Checked = True\n"
        "If alert = \"\" Then Main.Config(\"alert\") = \"none\"\n",
        "vbscript");
    ASSERT_TRUE(fake.messageBoxes.isEmpty()) << fake.messageBoxes.first().text.toStdString();
    EXPECT_EQ(config("count"), Variant::fromLong(40));
    EXPECT_EQ(config("main"), Variant(true));
    EXPECT_EQ(config("timer"), Variant::fromLong(200));
    EXPECT_EQ(config("shadow"), Variant(u"字体发光"));
    EXPECT_EQ(config("path"), Variant("/opt/sorvane"));
    EXPECT_EQ(config("form"), Variant("Main"));
    EXPECT_TRUE(main->menu.at(main->menu.find("OnWeight", 2)).checked);
    EXPECT_EQ(config("alert"), Variant("none"));
}

// A call site keeps the member number it found; the window's controls are
// numbered after its other members and must act as they do by name.
TEST_F(ScriptHostTest, VBScriptReachesTheWindowsControlsFromOneSite)
{
    run("For i = 1 To 3\n"
        "  Main.OnWeight(i).Checked = (i = 3)\n"
        "  Main.Config(\"caption\" & i) = Main.onweight(i).Caption\n"
        "Next\n"
        "Main.ONSHADOW.Checked = True\n"
        "On Error Resume Next\n"
        "Main.OnShadow = 1\n"
        "Main.Config(\"error\") = Err.Number\n",
        "vbscript");
    ASSERT_TRUE(fake.messageBoxes.isEmpty()) << fake.messageBoxes.first().text.toStdString();
    EXPECT_FALSE(main->menu.at(main->menu.find("OnWeight", 1)).checked);
    EXPECT_TRUE(main->menu.at(main->menu.find("OnWeight", 3)).checked);
    EXPECT_EQ(config("caption2"), Variant("bold"));
    EXPECT_TRUE(main->menu.at(main->menu.find("OnShadow")).checked);
    EXPECT_EQ(config("error"), Variant::fromLong(450));
}

TEST_F(ScriptHostTest, ByteAndCurrencyReachJavaScriptAsNumbers)
{
    run("Main.Config(\"byte\") = CByte(200)\nMain.Config(\"money\") = CCur(\"1234.5678\")\n", "vbscript");
    EXPECT_EQ(config("byte"), Variant::fromByte(200));
    EXPECT_EQ(config("money"), Variant::fromCurrency(12345678));
    run("var c = Main.Config;"
        "c('byteSeen', typeof c('byte') + ' ' + (c('byte') + 1));"
        "c('moneySeen', typeof c('money') + ' ' + c('money') * 2);");
    ASSERT_TRUE(fake.messageBoxes.isEmpty()) << fake.messageBoxes.first().text.toStdString();
    EXPECT_EQ(config("byteSeen"), Variant("number 201"));
    EXPECT_EQ(config("moneySeen"), Variant("number 2469.1356"));
}

TEST_F(ScriptHostTest, VBScriptErrorsFillTheSixLines)
{
    struct Case {
        const char *code;
        QStringList lines;
    };
    const Case cases[] = {
        {"a = 1\r\nb = 2\r\nc = (a +\r\n",
         {QString::fromUtf8("源:　　Microsoft VBScript compilation error"), QString::fromUtf8("行:　　3"),
          QString::fromUtf8("位置:　8"), QString::fromUtf8("错误:　Expected expression"),
          QString::fromUtf8("代码:　800A03FF"), QString::fromUtf8("文本:　c = (a +")}},
        {"x = 1\n  Main.NoSuchMethod\n",
         {QString::fromUtf8("源:　　Microsoft VBScript runtime error"), QString::fromUtf8("行:　　2"),
          QString::fromUtf8("位置:　2"), QString::fromUtf8("错误:　Object doesn't support this property or method"),
          QString::fromUtf8("代码:　800A01B6"), QString::fromUtf8("文本:　  Main.NoSuchMethod")}},
        {"Err.Raise 1000, \"Mine\", \"Own words\"",
         {QString::fromUtf8("源:　　Mine"), QString::fromUtf8("行:　　1"), QString::fromUtf8("位置:　0"),
          QString::fromUtf8("错误:　Own words"), QString::fromUtf8("代码:　800A03E8"),
          QString::fromUtf8("文本:　Err.Raise 1000, \"Mine\", \"Own words\"")}},
    };
    for (const Case &c : cases) {
        fake.messageBoxes.clear();
        run(QString::fromUtf8(c.code), "VBScript");
        EXPECT_EQ(reportLines(), c.lines) << c.code;
        ASSERT_EQ(fake.messageBoxes.size(), 1);
        EXPECT_EQ(fake.messageBoxes.first().caption, c.lines[3].mid(4));
    }
}

TEST_F(ScriptHostTest, VBScriptRunsDoNotShareGlobals)
{
    run("leftover = 5", "VBScript");
    run("If IsEmptyValue(leftover) Then Main.Config(\"t\") = \"fresh\"\n"
        "Function IsEmptyValue(v)\n IsEmptyValue = (v = \"\")\nEnd Function",
        "VBScript");
    EXPECT_EQ(config("t"), Variant("fresh"));
}

TEST_F(ScriptHostTest, ARunawayVBScriptIsStoppedButTimeInABoxDoesNotCount)
{
    main->scriptHost().budget = std::chrono::milliseconds(100);
    run("Do\nLoop", "VBScript");
    const QStringList lines = reportLines();
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[3], QString::fromUtf8("错误:　The script ran for too long and was stopped"));

    fake.messageBoxes.clear();
    useManualTime();
    fake.whileBoxOpen = [this] { time += 3600000; };
    run("x = Main.InputBoxB(\"p\", \"t\", \"v\")\nMsgBox \"m\"\ny = InputBox(\"q\")\n"
        "Main.Config(\"done\") = True",
        "VBScript");
    EXPECT_EQ(config("done"), Variant(true));
    EXPECT_EQ(fake.messageBoxes.size(), 1);
}

namespace {

// Time spent inside the host counts: a loop of host calls is stopped when
// the budget is used up, as a loop of its own is.
TEST_F(ScriptHostTest, HostCallsCountAgainstTheBudget)
{
    const struct {
        const char *language;
        const char *code;
    } cases[] = {
        {"JavaScript", "var n = 0; while (true) { Main.Trim(' x '); Main.Config('n', ++n); }"},
        {"VBScript", "n = 0\nDo\nx = Main.Trim(\" x \")\nn = n + 1\nMain.Config(\"n\") = n\nLoop"},
    };
    for (const auto &c : cases) {
        fake.messageBoxes.clear();
        main->Config->setItem("n", Variant::fromLong(0));
        useManualTime(1000);
        run(c.code, c.language);
        const QStringList lines = reportLines();
        ASSERT_EQ(lines.size(), 6) << c.language;
        EXPECT_EQ(lines[3], QString::fromUtf8("错误:　The script ran for too long and was stopped"));
        // Two looks at the time a call, one second each: about 30 seconds of calls.
        const qint32 n = *config("n").toLong();
        EXPECT_GE(n, 5) << c.language;
        EXPECT_LE(n, 100) << c.language; // an interrupt is seen within a few statements
    }
}

// A script that takes itself in again nests only so deep: the refused run is
// reported as "Out of stack space" and the outer runs end normally.
TEST_F(ScriptHostTest, RunsNestAtMostSixteenDeep)
{
    QTemporaryDir dir;
    const struct {
        const char *file;
        const char *code;
    } cases[] = {
        {"self.js", "Main.Config('depth', Main.Config('depth') + 1); Main.CallBack('%1'); "
                    "Main.Config('after', Main.Config('after') + 1);"},
        {"self.vbs", "Main.Config(\"depth\") = Main.Config(\"depth\") + 1\nMain.CallBack \"%1\"\n"
                     "Main.Config(\"after\") = Main.Config(\"after\") + 1"},
    };
    for (const auto &c : cases) {
        fake.messageBoxes.clear();
        main->Config->setItem("depth", Variant::fromLong(0));
        main->Config->setItem("after", Variant::fromLong(0));
        const QString path = dir.filePath(QString::fromLatin1(c.file));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QString::fromLatin1(c.code).arg(path).toUtf8());
        f.close();
        main->CallBack(path);
        EXPECT_EQ(config("depth"), Variant::fromLong(ScriptHost::kMaxNesting)) << c.file;
        EXPECT_EQ(config("after"), Variant::fromLong(ScriptHost::kMaxNesting)) << c.file;
        const QStringList lines = reportLines();
        ASSERT_EQ(fake.messageBoxes.size(), 1) << c.file;
        ASSERT_EQ(lines.size(), 6);
        EXPECT_EQ(lines[3], QString::fromUtf8("错误:　Out of stack space"));
        EXPECT_EQ(lines[4], QString::fromUtf8("代码:　800A001C"));
    }
}

// A transform script that loads its own file again is bounded the same way.
TEST_F(ScriptHostTest, ATransformScriptThatLoadsItsFileAgainEnds)
{
    QTemporaryDir dir;
    const QString script = dir.filePath("again.js");
    QFile js(script);
    ASSERT_TRUE(js.open(QIODevice::WriteOnly));
    js.write("Main.Config('loads', Main.Config('loads') + 1); Main.Addsubtitles(Main.Config('FileName'));");
    js.close();
    const QString subtitles = dir.filePath("a.srt");
    QFile srt(subtitles);
    ASSERT_TRUE(srt.open(QIODevice::WriteOnly));
    srt.write("1\r\n00:00:01,000 --> 00:00:02,000\r\ncue\r\n");
    srt.close();
    main->Config->setItem("loads", Variant::fromLong(0));
    main->Config->setItem("Script", Variant(script));
    main->CallBack(subtitles);
    EXPECT_EQ(config("loads"), Variant::fromLong(ScriptHost::kMaxNesting));
    ASSERT_EQ(fake.messageBoxes.size(), 1);
    EXPECT_EQ(fake.messageBoxes[0].caption, "Out of stack space");
}

// Without a thread for its watchdog a script could hold the program for
// ever: it is refused with a report, and the program goes on.
TEST_F(ScriptHostTest, AScriptWhoseWatchdogCannotStartIsRefused)
{
    main->scriptHost().startWatchdog = [](std::function<void()>) -> std::thread {
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    };
    for (const char *language : {"JavaScript", "VBScript"}) {
        fake.messageBoxes.clear();
        run("Main.Config(\"ran\") = 1", language);
        const QStringList lines = reportLines();
        ASSERT_EQ(lines.size(), 6) << language;
        EXPECT_EQ(lines[3], QString::fromUtf8("错误:　Out of memory"));
    }
    EXPECT_EQ(config("ran"), Variant());
    main->scriptHost().startWatchdog = ScriptWatchdog::startThread;
    run("Main.Config('ran', 1);");
    EXPECT_EQ(config("ran"), Variant::fromLong(1));
}

// The engine's own functions crash it when call or apply gets no argument
// at all; the host's stand-ins give them an undefined receiver instead.
TEST_F(ScriptHostTest, CallAndApplyWithoutAReceiverDoNotCrash)
{
    const struct {
        const char *code;
        const char *result;
    } cases[] = {
        {"Object.prototype.toString.call()", "[object Undefined]"},
        {"Object.prototype.toString.apply()", "[object Undefined]"},
        {"Function.prototype.call.call(Object.prototype.toString)", "[object Undefined]"},
        {"Object.prototype.valueOf.call()", "TypeError"},
        {"Object.prototype.hasOwnProperty.call()", "TypeError"},
        {"Object.prototype.propertyIsEnumerable.call()", "TypeError"},
        {"Object.prototype.toLocaleString.call()", "TypeError"},
        {"Object.prototype.isPrototypeOf.call()", "false"},
        {"String.prototype.trim.apply()", "TypeError"},
        {"new Date().getDate.call()", "TypeError"},
        {"Array.prototype.join.call()", "TypeError"},
        {"(function (a, b) { return this.x + a + b; }).call({x: 1}, 2, 3)", "6"},
        {"Math.max.apply(null, [1, 5, 2])", "5"},
        {"Array.prototype.slice.call({length: 2, 0: 'a', 1: 'b'}, 1).join()", "b"},
        {"Function.prototype.call.length + ',' + Function.prototype.apply.length", "1,2"},
    };
    for (const auto &c : cases) {
        run(QStringLiteral("var r; try { r = String(%1); } catch (e) { r = e.name; } Main.Config('r', r);")
                .arg(QString::fromLatin1(c.code)));
        EXPECT_EQ(config("r"), Variant(QString::fromLatin1(c.result))) << c.code;
    }
    EXPECT_TRUE(fake.messageBoxes.isEmpty());
}

TEST_F(ScriptHostTest, AFailedSaveReachesTheScript)
{
    run("try { Main.SetFileText('/no/such/folder/Settings.ini', 'x'); Main.Config('n', 0); }"
        "catch (e) { Main.Config('n', e.number); Main.Config('d', e.description); }");
    EXPECT_EQ(config("n"), Variant::fromLong(qint32(0x800A004B)));
    EXPECT_EQ(config("d"), Variant("Path/File access error"));
    run("On Error Resume Next\nMain.SetFileText \"/no/such/folder/Settings.ini\", \"x\"\n"
        "Main.Config(\"n\") = Err.Number",
        "VBScript");
    EXPECT_EQ(config("n"), Variant::fromLong(75));
}

} // namespace
