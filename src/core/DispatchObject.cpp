#include "core/DispatchObject.h"

namespace sorvane {

Result<Variant> DispatchObject::invoke(const QString &, CallKind, QVector<Variant> &, const Variant &)
{
    return scriptError(ErrorNumber::NoSuchPropertyOrMethod);
}

std::optional<MemberInfo> DispatchObject::member(const QString &) const
{
    return std::nullopt;
}

QStringList DispatchObject::memberNames() const
{
    return {};
}

Result<QVector<Variant>> DispatchObject::elements()
{
    return scriptError(ErrorNumber::ObjectNotACollection);
}

const void *DispatchObject::memberTable() const
{
    return nullptr;
}

int DispatchObject::memberNumber(const QString &) const
{
    return -1;
}

Result<Variant> DispatchObject::invokeNumber(int, CallKind, QVector<Variant> &, const Variant &)
{
    return scriptError(ErrorNumber::NoSuchPropertyOrMethod);
}

Result<Variant> DispatchObject::get(const QString &name, QVector<Variant> args)
{
    return invoke(name, CallKind::Get, args, Variant());
}

Status DispatchObject::let(const QString &name, const Variant &value, QVector<Variant> args)
{
    Variant r = TRY(invoke(name, value.isObject() ? CallKind::Set : CallKind::Let, args, value));
    return {};
}

} // namespace sorvane
