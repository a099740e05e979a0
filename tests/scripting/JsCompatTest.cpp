// Scripts written for the platform's JScript run unchanged: its extensions
// (Enumerator, VBArray, ScriptEngine…, error numbers, the String HTML
// methods), for-in over host objects, and a binding that keeps working
// whatever a script does to the standard globals.
#include "app/Main.h"
#include "platform/fake/FakePlatform.h"
#include "core/Dictionary.h"
#include "VariantPrinter.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace sorvane;

namespace {

class JsCompatTest : public testing::Test {
protected:
    void SetUp() override
    {
        main = std::make_unique<Main>(fake.services());
        main->initialise();
    }

    // Runs `body` as a function's body and gives what it returned, as text,
    // or the name, number and message of what it threw. No global the
    // wrapper itself uses may be one a case reassigns.
    QString evaluate(const char *body)
    {
        main->Config->setItem(QStringLiteral("r"), Variant());
        main->RunScript(QStringLiteral("var r; try { r = '' + (function () { %1 })(); }"
                                       " catch (e) { r = 'threw ' + e.number + ' ' + e.message; }"
                                       " Main.Config('r', r);")
                            .arg(QString::fromUtf8(body)),
                        QStringLiteral("JavaScript"), true);
        if (!fake.messageBoxes.isEmpty())
            return QStringLiteral("box: ") + fake.messageBoxes.takeLast().text;
        return main->Config->item(QStringLiteral("r")).toString().valueOr(QString());
    }

    struct Case {
        const char *body;
        const char *result;
    };

    void check(std::initializer_list<Case> cases)
    {
        for (const Case &c : cases)
            EXPECT_EQ(evaluate(c.body), QString::fromUtf8(c.result)) << c.body;
    }

    FakePlatform fake;
    std::unique_ptr<Main> main;
};

const char kDictionary[] = "var d = new ActiveXObject('Scripting.Dictionary'); d.Add('a', 1); d.Add('b', 2);";

QString withDictionary(const char *rest)
{
    return QString::fromLatin1(kDictionary) + QString::fromUtf8(rest);
}

TEST_F(JsCompatTest, TheBindingKeepsItsOwnStandardObjects)
{
    const char *const names[] = {"Array", "Object", "Function", "String", "Proxy", "Reflect", "Map", "Symbol"};
    for (const char *name : names) {
        const QString body = QStringLiteral("%1 = 1; var d = new ActiveXObject('Scripting.Dictionary'); d.Add('k', 'v');"
                                            " var n = 0; for (var k in d) n++;"
                                            " return Main.Config.Item('FontSize') + ',' + Main.Config('FontSize') + ','"
                                            " + d.Item('k') + ',' + d.Count + ',' + n + ',' + d.Exists('k');")
                                 .arg(QString::fromLatin1(name));
        EXPECT_EQ(evaluate(body.toUtf8().constData()), QStringLiteral("24,24,v,1,1,true")) << name;
    }
}

TEST_F(JsCompatTest, TheBindingKeepsWorkingWhenTheBuiltInPrototypesChange)
{
    // What scripts written for older engines do to the built-ins, each on its own.
    const char *const changes[] = {
        "Map.prototype.get = function () { return 3; }; Map.prototype.set = null;",
        "Object.defineProperty(Object.prototype, 'Item', {value: 1});"
        " Object.defineProperty(Object.prototype, 'FontSize', {value: 2});",
        "Array.prototype.slice = null; Array.prototype.push = null; Array.prototype[Symbol.iterator] = null;",
        "Function.prototype.call = null; Function.prototype.apply = null; Function.prototype.bind = null;",
        "Object.create = null; Object.defineProperty = null; Reflect.apply = null;",
    };
    for (const char *change : changes) {
        const QString body = QString::fromUtf8(change) +
                             QStringLiteral(" var d = new ActiveXObject('Scripting.Dictionary'); d.Add('k', 'v');"
                                            " var n = 0; for (var k in d) n++;"
                                            " return Main.Config.Item('FontSize') + ',' + Main.Config('FontSize') + ','"
                                            " + d.Item('k') + ',' + d.Count + ',' + n + ',' + d.Exists('k');");
        EXPECT_EQ(evaluate(body.toUtf8().constData()), QStringLiteral("24,24,v,1,1,true")) << change;
    }
}

// A member is found once per host class and then called by its number;
// every way of reaching it must still act as a call by name does.
TEST_F(JsCompatTest, HostMembersActAlikeOnEveryPath)
{
    check({
        // Any count of arguments, and any spelling.
        {"var d = new ActiveXObject('Scripting.Dictionary'); d.Add('a', 1);"
         " return [d.Count, d.count, d.Keys().length, d.ITEM('a'), d.item('A') === undefined].join();",
         "1,1,1,1,true"},
        {"return Main.Replace('a-b-c', '-', '+') + Main.replace('x', 'x', 'y');", "a+b+cy"},
        {"var list = []; Main.Push(list, 'x'); Main.push(list, 'y'); return list.join();", "x,y"},
        // An indexed property given one argument more than its indexes is
        // assigned, also through the default member.
        {"var d = new ActiveXObject('Scripting.Dictionary'); d.Item('k', 5); d('m', 6);"
         " return d.Item('k') + d('m') + d.Count;",
         "13"},
        // A method taken off its object and called later, and the same
        // member reached through a second object of the class.
        {"var d = new ActiveXObject('Scripting.Dictionary'), e = new ActiveXObject('Scripting.Dictionary');"
         " d.Add('a', 1); e.Add('a', 2); var item = d.Item; return item('a') + ',' + e.Item('a');",
         "1,2"},
        // The window's controls, in any spelling.
        {"Main.OnShadow.Checked = true; return Main.onshadow.Checked + ',' + Main.ONSHADOW.Checked;", "true,true"},
        {"return Main.OnWeight(2).Caption;", "bold"},
        // Errors on the numbered path keep their numbers.
        {"var d = new ActiveXObject('Scripting.Dictionary');"
         " try { d.Item(); } catch (e) { return e.number; }",
         "-2146827838"},
        {"var d = new ActiveXObject('Scripting.Dictionary'); d.Add('a', 1);"
         " try { d.Add('a', 2); } catch (e) { return e.number; }",
         "-2146827831"},
        {"try { Main.Replace('a', 'b'); } catch (e) { return e.number; }", "-2146827838"},
        {"try { Main.OnShadow = 1; } catch (e) { return e.number; }", "-2146827838"},
    });
}

TEST_F(JsCompatTest, ForInOverHostObjectsDoesNotThrow)
{
    check({
        {"var d = new ActiveXObject('Scripting.Dictionary'); d.Add('a', 1); d.Add('b', 2);"
         " var s = ''; for (var k in d) s += k; return s;",
         "ab"},
        {"var n = 0; for (var k in Main.document) n++; return n;", "0"},
        {"var n = 0; for (var k in Main) n++; return n;", "0"},
        {"var d = new ActiveXObject('Scripting.Dictionary'); d.Add(1, 'x'); d.Add(1.5, 'y');"
         " var s = ''; for (var k in d) s += k + ';'; return s;",
         "1;1.5;"},
        {"var d = new ActiveXObject('Scripting.Dictionary'); return Object.keys(d).length;", "0"},
    });
}

TEST_F(JsCompatTest, EngineErrorsCarryThePlatformsNumbers)
{
    check({
        {"try { null.x; } catch (e) { return e.number + '|' + (e.description === e.message); }", "-2146823281|true"},
        {"try { nothing_here; } catch (e) { return e.number + '|' + (e.description === e.message); }",
         "-2146823279|true"},
        {"try { undefinedFunction(); } catch (e) { return e.number; }", "-2146823279"},
        {"try { (1).nothing(); } catch (e) { return e.number; }", "-2146827850"},
        {"var u; try { new u(); } catch (e) { return e.number; }", "-2146823281"},
        {"class Mine extends Error {} var e = new Mine('m');"
         " return [e instanceof Mine, e instanceof Error, e.message, new TypeError('t') instanceof Error].join();",
         "true,true,m,true"},
        {"try { eval('var = ;'); } catch (e) { return e.number; }", "-2146827286"},
        {"try { new Array(-1); } catch (e) { return e.number; }", "-2146823259"},
        {"try { Main.NoSuchMethod(); } catch (e) { return e.number; }", "-2146827850"},
        {"try { Main.NoSuch; } catch (e) { return e.number + '|' + e.description; }",
         "-2146827850|Object doesn't support this property or method"},
        {"var e = new Error(42, 'bad input'); return e.number + '|' + e.description + '|' + e.message;",
         "42|bad input|bad input"},
        {"var e = Error(42, 'bad input'); return e.number + '|' + (e instanceof Error);", "42|true"},
        {"var e = new Error('plain'); return e.number + '|' + e.description + '|' + e.message;", "0|plain|plain"},
        {"var e = new Error('x'); e.number = 7; e.description = 'changed'; return e.number + '|' + e.description;",
         "7|changed"},
        {"try { throw new Error(5, 'five'); } catch (e) { return e.number + '|' + e.name; }", "5|Error"},
        {"var n = 0; for (var k in new Error(1, 'x')) n++; return n;", "0"},
        {"return new TypeError('t').number;", "-2146823281"},
        {"return Error.prototype.number + '|' + (Error.prototype.description === undefined);", "0|false"},
    });
}

// An error the script does not catch fills the report with the same number.
TEST_F(JsCompatTest, UncaughtErrorsReportTheirNumber)
{
    const Case cases[] = {
        {"null.x;", "800A138F"},
        {"throw new Error(42, 'bad input');", "800A002A"},
        {"throw new Error('plain');", "800A139E"},
        {"(1).nothing();", "800A01B6"},
    };
    for (const Case &c : cases) {
        fake.messageBoxes.clear();
        main->RunScript(QString::fromUtf8(c.body), QStringLiteral("JavaScript"), true);
        ASSERT_FALSE(fake.messageBoxes.isEmpty()) << c.body;
        const QStringList lines = fake.messageBoxes.last().text.split(QStringLiteral("\r\n"));
        ASSERT_EQ(lines.size(), 6) << c.body;
        EXPECT_EQ(lines[4], QString::fromUtf8("代码:　") + QString::fromLatin1(c.result)) << c.body;
    }
}

TEST_F(JsCompatTest, EnumeratorWalksAnyCollection)
{
    check({
        {withDictionary("var s = ''; for (var e = new Enumerator(d); !e.atEnd(); e.moveNext()) s += e.item();"
                        " return s;").toUtf8().constData(),
         "ab"},
        {withDictionary("var s = ''; for (var e = new Enumerator(d.Keys()); !e.atEnd(); e.moveNext()) s += e.item();"
                        " return s;").toUtf8().constData(),
         "ab"},
        {"var e = new Enumerator([1, 2, 3]), s = 0; for (; !e.atEnd(); e.moveNext()) s += e.item();"
         " e.moveFirst(); return s + ',' + e.item();",
         "6,1"},
        {"var e = new Enumerator([]); return e.atEnd() + ',' + e.item();", "true,undefined"},
        {"var e = new Enumerator(); e.moveNext(); return e.atEnd();", "true"},
        {"var r = new ActiveXObject('VBScript.RegExp'); r.Pattern = '\\\\d'; r.Global = true;"
         " var s = ''; for (var e = new Enumerator(r.Execute('a1b2c3')); !e.atEnd(); e.moveNext())"
         " s += e.item().Value; return s;",
         "123"},
        {"var e = new Enumerator([7]); e.moveNext(); e.moveNext(); return e.atEnd() + ',' + e.item();",
         "true,undefined"},
        {"try { new Enumerator(Main.document); } catch (e) { return e.number; }", "-2146827837"},
        {"try { new Enumerator(5); } catch (e) { return e.number; }", "-2146827837"},
    });
}

// The classic loop over a folder's files and subfolders.
TEST_F(JsCompatTest, EnumeratorWalksAFoldersFiles)
{
    QTemporaryDir dir;
    for (const char *name : {"a.srt", "b.ass"}) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    const QString body = QStringLiteral(
        "var fso = new ActiveXObject('Scripting.FileSystemObject'), names = [];"
        " for (var e = new Enumerator(fso.GetFolder('%1').Files); !e.atEnd(); e.moveNext()) names.push(e.item().Name);"
        " for (var e = new Enumerator(fso.GetFolder('%1').SubFolders); !e.atEnd(); e.moveNext())"
        " names.push(e.item().Name);"
        " return names.sort().join();")
                             .arg(dir.path());
    EXPECT_EQ(evaluate(body.toUtf8().constData()), QStringLiteral("a.srt,b.ass,sub"));
}

TEST_F(JsCompatTest, VBArrayReadsHostArrays)
{
    check({
        {withDictionary("var a = new VBArray(d.Keys()).toArray(); return a.join() + ',' + Array.isArray(a);")
             .toUtf8()
             .constData(),
         "a,b,true"},
        {withDictionary("var v = new VBArray(d.Items()); return [v.getItem(1), v.lbound(), v.ubound(),"
                        " v.dimensions(), v.ubound(1)].join();")
             .toUtf8()
             .constData(),
         "2,0,1,1,1"},
        {withDictionary("return d.Keys().toArray().join('|') + ',' + Array.isArray(d.Keys());").toUtf8().constData(),
         "a|b,true"},
        {withDictionary("var k = d.Keys(); k.push('c'); return k.length + ',' + k.toArray().length;")
             .toUtf8()
             .constData(),
         "3,3"},
        {withDictionary("var n = 0; for (var i in d.Keys()) n++; return n;").toUtf8().constData(), "2"},
        {"return typeof [1].toArray;", "undefined"},
        {"try { new VBArray(5); } catch (e) { return e.number; }", "-2146823275"},
        {withDictionary("try { new VBArray(d.Keys()).getItem(5); } catch (e) { return e.number; }")
             .toUtf8()
             .constData(),
         "-2146828279"},
    });
}

TEST_F(JsCompatTest, PlatformFunctionsExist)
{
    check({
        {"return ScriptEngine() + ScriptEngineMajorVersion() + '.' + ScriptEngineMinorVersion() + '.'"
         " + ScriptEngineBuildVersion();",
         "JScript5.8.16384"},
        {"return CollectGarbage();", "undefined"},
        {"return GetObject('', 'Scripting.Dictionary').Count;", "0"},
        {"try { GetObject('winmgmts:'); } catch (e) { return e.number; }", "-2146827859"},
        {"try { GetObject(); } catch (e) { return e.number; }", "-2146827859"},
        {"var e = new RegExpError('bad'); return [e instanceof Error, e.name, e.message].join();",
         "true,RegExpError,bad"},
        {"var d = new Date(2020, 0, 2, 6, 0, 0); return typeof d.getVarDate() + ','"
         " + (d.getVarDate().getTime() === d.getTime());",
         "object,true"},
        {"var n = 0; for (var k in this) if (/^(Enumerator|VBArray|ScriptEngine|GetObject|RegExpError|"
         "CollectGarbage)/.test(k)) n++; return n;",
         "0"},
        {"var n = 0; for (var k in new Date()) n++; for (var k in 'x') n++; return n;", "1"},
    });
    main->RunScript(QStringLiteral("Main.Config('date', new Date(2020, 0, 2, 6, 0, 0).getVarDate());"),
                    QStringLiteral("JavaScript"), true);
    EXPECT_EQ(main->Config->item(QStringLiteral("date")), Variant::fromDate(43832.25));
}

TEST_F(JsCompatTest, StringHtmlMethodsWriteThePlatformsTags)
{
    check({
        {"return 'x'.anchor('n');", "<A NAME=\"n\">x</A>"},
        {"return 'x'.big();", "<BIG>x</BIG>"},
        {"return 'x'.blink();", "<BLINK>x</BLINK>"},
        {"return 'x'.bold();", "<B>x</B>"},
        {"return 'x'.fixed();", "<TT>x</TT>"},
        {"return 'y'.fontcolor('red');", "<FONT COLOR=\"red\">y</FONT>"},
        {"return 'x'.fontsize(7);", "<FONT SIZE=\"7\">x</FONT>"},
        {"return 'x'.italics();", "<I>x</I>"},
        {"return 'x'.link('a.htm');", "<A HREF=\"a.htm\">x</A>"},
        {"return 'x'.small();", "<SMALL>x</SMALL>"},
        {"return 'x'.strike();", "<STRIKE>x</STRIKE>"},
        {"return 'x'.sub();", "<SUB>x</SUB>"},
        {"return 'x'.sup();", "<SUP>x</SUP>"},
        {"return 'x'.fontcolor('a\"b');", "<FONT COLOR=\"a&quot;b\">x</FONT>"},
        {"return (5).toString().bold();", "<B>5</B>"},
        {"return String.prototype.bold.call(12);", "<B>12</B>"},
        {"return Object.keys(String.prototype).length;", "0"},
    });
}

} // namespace
