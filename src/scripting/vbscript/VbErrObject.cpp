#include "scripting/vbscript/VbErrObject.h"

namespace sorvane::vb {

const char kRuntimeErrorSource[] = "Microsoft VBScript runtime error";
const char kCompileErrorSource[] = "Microsoft VBScript compilation error";

namespace {

template <typename Field>
Status setText(Field &field, const Variant &value)
{
    Result<QString> text = value.toString();
    if (!text)
        return text.error();
    field = *text;
    return {};
}

Result<Variant> raise(VbErrObject &, Arguments &args)
{
    Result<qint32> number = args.toLong(0);
    if (!number)
        return number.error();
    if (*number == 0)
        return scriptError(ErrorNumber::InvalidProcedureCall); // there is no error 0 to raise
    ScriptError error = scriptError(ErrorNumber{*number});
    error.source = QString::fromUtf8(kRuntimeErrorSource);
    if (!args.missing(1)) {
        Result<QString> source = args.text(1);
        if (!source)
            return source.error();
        error.source = *source;
    }
    if (!args.missing(2)) {
        Result<QString> description = args.text(2);
        if (!description)
            return description.error();
        error.description = *description;
    }
    return error;
}

} // namespace

const MemberTable<VbErrObject> &VbErrObject::members()
{
    using A = Arguments;
    using E = VbErrObject;
    static const MemberTable<VbErrObject> table(
        {
            {"Number", MemberKind::Property, 0, 0, [](E &e, A &) -> Result<Variant> { return Variant::fromLong(e.number); },
             [](E &e, A &, const Variant &v) -> Status {
                 Result<qint32> n = v.toLong();
                 if (!n)
                     return n.error();
                 e.number = *n;
                 return {};
             }},
            {"Description", MemberKind::Property, 0, 0, [](E &e, A &) -> Result<Variant> { return Variant(e.description); },
             [](E &e, A &, const Variant &v) { return setText(e.description, v); }},
            {"Source", MemberKind::Property, 0, 0, [](E &e, A &) -> Result<Variant> { return Variant(e.source); },
             [](E &e, A &, const Variant &v) { return setText(e.source, v); }},
            {"HelpFile", MemberKind::Property, 0, 0, [](E &e, A &) -> Result<Variant> { return Variant(e.helpFile); },
             [](E &e, A &, const Variant &v) { return setText(e.helpFile, v); }},
            {"HelpContext", MemberKind::Property, 0, 0,
             [](E &e, A &) -> Result<Variant> { return Variant::fromLong(e.helpContext); },
             [](E &e, A &, const Variant &v) -> Status {
                 Result<qint32> n = v.toLong();
                 if (!n)
                     return n.error();
                 e.helpContext = *n;
                 return {};
             }},
            {"Raise", MemberKind::Method, 1, 5, raise, nullptr},
            {"Clear", MemberKind::Method, 0, 0, [](E &e, A &) -> Result<Variant> { e.clear(); return Variant(); }, nullptr},
        },
        "Number");
    return table;
}

void VbErrObject::record(const ScriptError &error)
{
    number = error.number;
    description = error.description;
    source = error.source.isEmpty() ? QString::fromUtf8(kRuntimeErrorSource) : error.source;
}

void VbErrObject::clear()
{
    number = 0;
    description.clear();
    source.clear();
    helpFile.clear();
    helpContext = 0;
}

} // namespace sorvane::vb
