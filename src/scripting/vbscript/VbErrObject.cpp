#include "scripting/vbscript/VbErrObject.h"

#include <utility>

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

// The language's number for a number given to Raise: the platform's 800A
// codes carry it in their low word, a few 8007 system codes have their own,
// and anything else above 65535 is no error number at all.
Result<qint32> raisedNumber(qint32 number)
{
    const quint32 code = quint32(number);
    if ((code >> 16) == 0x800Au)
        return qint32(code & 0xFFFFu);
    if ((code >> 16) == 0x8007u) {
        static const std::pair<quint32, ErrorNumber> system[] = {
            {0x000E, ErrorNumber::OutOfMemory},      {0x0057, ErrorNumber::InvalidProcedureCall},
            {0x0005, ErrorNumber::PermissionDenied}, {0x0002, ErrorNumber::FileNotFound},
        };
        for (const auto &[low, mapped] : system)
            if ((code & 0xFFFFu) == low)
                return qint32(mapped);
        return number;
    }
    if (number == 0 || number > 65535)
        return scriptError(ErrorNumber::InvalidProcedureCall); // there is no error 0 to raise
    return number;
}

// Raise Number, Source, Description, HelpFile, HelpContext: what it is not
// given it keeps from the error the Err object holds.
Result<Variant> raise(VbErrObject &err, Arguments &args)
{
    const qint32 given = TRY(args.toLong(0));
    const qint32 number = TRY(raisedNumber(given));
    ScriptError error = scriptError(ErrorNumber{number});
    error.source = err.source.isEmpty() ? QString::fromUtf8(kRuntimeErrorSource) : err.source;
    if (!err.description.isEmpty())
        error.description = err.description;
    if (!args.missing(1))
        error.source = TRY(args.text(1));
    if (!args.missing(2))
        error.description = TRY(args.text(2));
    QString helpFile = err.helpFile;
    qint32 helpContext = err.helpContext;
    if (!args.missing(3))
        helpFile = TRY(args.text(3));
    if (!args.missing(4))
        helpContext = TRY(args.toLong(4));
    err.raised(number, helpFile, helpContext);
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

void VbErrObject::raised(qint32 number, const QString &helpFile, qint32 helpContext)
{
    m_raised = Raised{number, helpFile, helpContext};
}

void VbErrObject::record(const ScriptError &error)
{
    number = error.number;
    description = error.description;
    source = error.source.isEmpty() ? QString::fromUtf8(kRuntimeErrorSource) : error.source;
    // Only the error Raise made has help fields.
    const bool fromRaise = m_raised && m_raised->number == error.number;
    helpFile = fromRaise ? m_raised->helpFile : QString();
    helpContext = fromRaise ? m_raised->helpContext : 0;
    m_raised.reset();
}

void VbErrObject::clear()
{
    m_raised.reset();
    number = 0;
    description.clear();
    source.clear();
    helpFile.clear();
    helpContext = 0;
}

} // namespace sorvane::vb
