#include "scripting/vbscript/VbArguments.h"
#include "scripting/vbscript/VbFunctions.h"

#include "dialogs/Dialogs.h"

namespace sorvane::vb::functions {
namespace {

// The caption of a box whose script gave none.
const QString kDefaultTitle = QStringLiteral("VBScript");

Result<QString> optionalText(const QVector<Variant> &args, int index, const QString &fallback)
{
    if (!hasArg(args, index))
        return fallback;
    return args[index].toString();
}

ScriptError noWindow()
{
    return scriptError(ErrorNumber::CannotCreateObject);
}

} // namespace

// MsgBox(prompt[, buttons[, title[, helpfile, context]]]): the code of the
// button pressed (vbOK ... vbNo).
Result<Variant> MsgBox(BuiltinContext &context, QVector<Variant> &args)
{
    auto prompt = TRY(args[0].toString());
    auto buttons = TRY(longArg(args, 1, 0));
    auto title = TRY(optionalText(args, 2, kDefaultTitle));
    if (!context.dialogs)
        return noWindow();
    return Variant::fromInteger(qint16(context.dialogs->MsgBoxB(prompt, buttons, title)));
}

// InputBox(prompt[, title[, default[, xpos, ypos[, helpfile, context]]]]):
// the text entered, or "" when the box is cancelled. The box always opens
// centred over the main window, so the position arguments are read and not
// used.
Result<Variant> InputBox(BuiltinContext &context, QVector<Variant> &args)
{
    auto prompt = TRY(args[0].toString());
    auto title = TRY(optionalText(args, 1, kDefaultTitle));
    auto value = TRY(optionalText(args, 2, QString()));
    for (int i = 3; i < std::min<qsizetype>(args.size(), 5); ++i) {
        auto position = TRY(longArg(args, i, 0));
        Q_UNUSED(position);
    }
    if (!context.dialogs)
        return noWindow();
    return Variant(context.dialogs->InputBoxB(prompt, title, value));
}

Result<Variant> CreateObject(BuiltinContext &context, QVector<Variant> &args)
{
    auto progId = TRY(TextArg::of(args[0]));
    return createObject(*progId, context.objects);
}

Result<Variant> ScriptEngine(BuiltinContext &, QVector<Variant> &)
{
    return Variant(QStringLiteral("VBScript"));
}

Result<Variant> ScriptEngineMajorVersion(BuiltinContext &, QVector<Variant> &)
{
    return Variant::fromLong(5);
}

Result<Variant> ScriptEngineMinorVersion(BuiltinContext &, QVector<Variant> &)
{
    return Variant::fromLong(8);
}

Result<Variant> ScriptEngineBuildVersion(BuiltinContext &, QVector<Variant> &)
{
    return Variant::fromLong(16384);
}

// The locale the functions write dates and numbers in: Chinese (PRC).
Result<Variant> GetLocale(BuiltinContext &, QVector<Variant> &)
{
    return Variant::fromLong(2052);
}

} // namespace sorvane::vb::functions
