#include "scripting/vbscript/VbArguments.h"
#include "scripting/vbscript/VbFunctions.h"

namespace sorvane::vb::functions {
namespace {

// UBound and LBound: the bound of dimension `dimension` (1-based); 9 when
// the array has no such dimension or was never sized.
Result<Variant> bound(QVector<Variant> &args, bool upper)
{
    if (!args[0].isArray())
        return scriptError(ErrorNumber::TypeMismatch);
    auto dimension = TRY(longArg(args, 1, 1));
    const VariantArray &array = args[0].arrayValue();
    if (dimension < 1 || dimension > array.dimensions())
        return scriptError(ErrorNumber::SubscriptOutOfRange);
    const ArrayBound &b = array.bounds[dimension - 1];
    return Variant::fromLong(upper ? b.upper : b.lower);
}

} // namespace

Result<Variant> Array(BuiltinContext &, QVector<Variant> &args)
{
    return Variant::fromList(args); // shares the items until one side changes
}

Result<Variant> UBound(BuiltinContext &, QVector<Variant> &args)
{
    return bound(args, true);
}

Result<Variant> LBound(BuiltinContext &, QVector<Variant> &args)
{
    return bound(args, false);
}

// Filter(list, match[, include[, compare]]): the texts of a one-dimensional
// list that contain `match` (or, with include False, that do not).
Result<Variant> Filter(BuiltinContext &, QVector<Variant> &args)
{
    if (args[0].isNull())
        return scriptError(ErrorNumber::InvalidUseOfNull);
    if (!args[0].isArray())
        return scriptError(ErrorNumber::TypeMismatch);
    const VariantArray &array = args[0].arrayValue();
    if (array.dimensions() != 1)
        return scriptError(ErrorNumber::InvalidProcedureCall);
    auto match = TRY(TextArg::of(args[1]));
    bool include = true;
    if (hasArg(args, 2)) {
        auto b = TRY(args[2].toBool());
        include = b;
    }
    auto cs = TRY(compareArg(args, 3));
    QVector<Variant> kept;
    for (const Variant &item : array.items) {
        auto text = TRY(TextArg::of(item));
        if (text->contains(*match, cs) == include)
            kept.append(Variant(*text));
    }
    return Variant::fromList(std::move(kept));
}

} // namespace sorvane::vb::functions
