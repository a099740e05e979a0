#include "BuiltinCall.h"

#include "support/MainFixture.h"

using namespace sorvane;
using namespace sorvane::vb;
using namespace sorvane::vb::testing_support;

namespace {

class VbInteractionFunctions : public sorvane::testing_support::MainFixture {
protected:
    BuiltinContext context()
    {
        BuiltinContext c;
        c.dialogs = &main->dialogs();
        c.objects.platform = fake.services();
        return c;
    }
};

struct BoxCase {
    QVector<Variant> args;
    int answer;
    const char *text;
    int type;
    const char *caption;
};

class MsgBoxCall : public VbInteractionFunctions, public testing::WithParamInterface<BoxCase> {};

TEST_P(MsgBoxCall, ShowsTheBoxAndGivesTheButtonPressed)
{
    const BoxCase &c = GetParam();
    fake.messageAnswers = {c.answer};
    BuiltinContext ctx = context();
    const Result<Variant> pressed = callBuiltin(ctx, "MsgBox", c.args);
    ASSERT_TRUE(pressed.ok()) << pressed.error().number;
    EXPECT_EQ(*pressed, I(c.answer));
    ASSERT_EQ(fake.messageBoxes.size(), 1);
    EXPECT_EQ(fake.messageBoxes[0].text, QString::fromUtf8(c.text));
    EXPECT_EQ(fake.messageBoxes[0].type, c.type);
    EXPECT_EQ(fake.messageBoxes[0].caption, QString::fromUtf8(c.caption));
    EXPECT_TRUE(fake.messageBoxes[0].owner.has_value()); // centred over the main window
}

INSTANTIATE_TEST_SUITE_P(
    Answers, MsgBoxCall,
    testing::Values(BoxCase{{S("Hello")}, 1, "Hello", 0, "VBScript"},
                    BoxCase{{S("Save?"), L(4 + 32), S("标题")}, 6, "Save?", 36, "标题"},
                    BoxCase{{S("Save?"), L(4), S("T")}, 7, "Save?", 4, "T"},
                    BoxCase{{S("Retry?"), L(5), S("T")}, 2, "Retry?", 5, "T"},
                    // Numbers are shown as their text; an Empty title is the default one.
                    BoxCase{{D(1.5), Variant(), Variant()}, 1, "1.5", 0, "VBScript"},
                    // MsgBox "text", , "title": the skipped buttons are OK only.
                    BoxCase{{S("text"), Variant(), S("title")}, 1, "text", 0, "title"}));

TEST_F(VbInteractionFunctions, MsgBoxArgumentErrorsOpenNoBox)
{
    BuiltinContext ctx = context();
    EXPECT_EQ(callBuiltin(ctx, "MsgBox", {Null()}).error().number, 94);
    EXPECT_EQ(callBuiltin(ctx, "MsgBox", {S("a"), S("x")}).error().number, 13);
    EXPECT_TRUE(fake.messageBoxes.isEmpty());
}

TEST_F(VbInteractionFunctions, InputBoxGivesTheTextEntered)
{
    fake.inputAnswers = {QStringLiteral("typed")};
    BuiltinContext ctx = context();
    EXPECT_EQ(*callBuiltin(ctx, "InputBox", {S("Name?"), S("Title"), S("guess")}), S("typed"));
    ASSERT_EQ(fake.inputBoxes.size(), 1);
    EXPECT_EQ(fake.inputBoxes[0].prompt, QStringLiteral("Name?"));
    EXPECT_EQ(fake.inputBoxes[0].title, QStringLiteral("Title"));
    EXPECT_EQ(fake.inputBoxes[0].value, QStringLiteral("guess"));
}

TEST_F(VbInteractionFunctions, InputBoxCancelledGivesTheEmptyText)
{
    fake.inputAnswers = {std::nullopt};
    BuiltinContext ctx = context();
    EXPECT_EQ(*callBuiltin(ctx, "InputBox", {S("Name?")}), S(""));
    ASSERT_EQ(fake.inputBoxes.size(), 1);
    EXPECT_EQ(fake.inputBoxes[0].title, QStringLiteral("VBScript"));
    EXPECT_EQ(fake.inputBoxes[0].value, QString());
}

TEST_F(VbInteractionFunctions, InputBoxAcceptsAndIgnoresThePosition)
{
    fake.inputAnswers = {QStringLiteral("x")};
    BuiltinContext ctx = context();
    EXPECT_EQ(*callBuiltin(ctx, "InputBox", {S("p"), S("t"), S("d"), I(100), I(200)}), S("x"));
    EXPECT_EQ(callBuiltin(ctx, "InputBox", {S("p"), S("t"), S("d"), S("left")}).error().number, 13);
}

TEST(VbInteractionWithoutWindow, BoxesFailWith429)
{
    BuiltinContext context;
    EXPECT_EQ(callBuiltin(context, "MsgBox", {S("a")}).error().number, 429);
    EXPECT_EQ(callBuiltin(context, "InputBox", {S("a")}).error().number, 429);
}

TEST_F(VbInteractionFunctions, CreateObjectMakesTheNamedObject)
{
    BuiltinContext ctx = context();
    const Result<Variant> dictionary = callBuiltin(ctx, "CreateObject", {S("scripting.dictionary")});
    ASSERT_TRUE(dictionary.ok());
    EXPECT_EQ(*callBuiltin(ctx, "TypeName", {*dictionary}), S("Dictionary"));
    EXPECT_EQ(*callBuiltin(ctx, "IsObject", {*dictionary}), Variant(true));
    EXPECT_EQ(*callBuiltin(ctx, "VarType", {*dictionary}), I(9));
    EXPECT_EQ(callBuiltin(ctx, "CreateObject", {S("No.Such.Thing")}).error().number, 429);
    EXPECT_EQ(callBuiltin(ctx, "CreateObject", {Null()}).error().number, 94);
}

TEST(VbInteractionWithoutWindow, CreateObjectWithoutServicesMakesWhatNeedsNoneAndRefusesTheRest)
{
    BuiltinContext context;
    for (const QString &progId : creatableObjects()) {
        const Result<Variant> object = callBuiltin(context, "CreateObject", {Variant(progId)});
        if (object.ok())
            EXPECT_TRUE(object->isObject() && !object->isNothing()) << progId.toStdString();
        else
            EXPECT_EQ(object.error().number, 429) << progId.toStdString();
    }
    EXPECT_TRUE(callBuiltin(context, "CreateObject", {S("VBScript.RegExp")}).ok());
    EXPECT_EQ(callBuiltin(context, "CreateObject", {S("WScript.Shell")}).error().number, 429);
}

TEST(VbEngineFunctions, NameTheEngine)
{
    BuiltinContext context;
    EXPECT_EQ(*callBuiltin(context, "ScriptEngine", {}), S("VBScript"));
    EXPECT_EQ(*callBuiltin(context, "ScriptEngineMajorVersion", {}), L(5));
    EXPECT_EQ(*callBuiltin(context, "GetLocale", {}), L(2052));
}

} // namespace
