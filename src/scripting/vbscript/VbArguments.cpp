#include "scripting/vbscript/VbArguments.h"

#include "text/VbFormat.h"

#include <cmath>

namespace sorvane::vb {

bool anyNull(const QVector<Variant> &args, std::initializer_list<int> indexes)
{
    for (int i : indexes)
        if (i < args.size() && args[i].isNull())
            return true;
    return false;
}

Result<qint32> longArg(const QVector<Variant> &args, int index, qint32 fallback)
{
    if (!hasArg(args, index))
        return fallback;
    return args[index].toLong();
}

Result<Qt::CaseSensitivity> compareArg(const QVector<Variant> &args, int index)
{
    auto mode = TRY(longArg(args, index, 0));
    if (mode == 0)
        return Qt::CaseSensitive;
    if (mode == 1)
        return Qt::CaseInsensitive;
    return scriptError(ErrorNumber::InvalidProcedureCall);
}

Result<TextArg> TextArg::of(const Variant &value)
{
    TextArg arg;
    if (value.isString()) {
        arg.m_borrowed = &value.stringValue();
        return arg;
    }
    auto text = TRY(value.toString());
    arg.m_owned = std::move(text);
    return arg;
}

Result<double> dateArg(const Variant &value)
{
    double serial = 0;
    if (value.isString()) {
        const std::optional<double> parsed = parseDateText(value.stringValue());
        if (!parsed)
            return scriptError(ErrorNumber::TypeMismatch);
        serial = *parsed;
    } else {
        auto number = TRY(value.toDate());
        serial = number;
    }
    if (!(serial >= kFirstDateSerial && serial < kLastDateSerial + 0.00001))
        return scriptError(ErrorNumber::Overflow);
    return serial;
}

} // namespace sorvane::vb
