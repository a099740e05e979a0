#include "core/HostObject.h"

namespace sorvane {

const Variant &Arguments::operator[](int i) const
{
    static const Variant empty;
    return i >= 0 && i < count() ? m_values[i] : empty;
}

Result<std::shared_ptr<DispatchObject>> Arguments::object(int i) const
{
    const Variant &v = (*this)[i];
    if (!v.isObject() || v.isNothing())
        return scriptError(ErrorNumber::ObjectRequired);
    return v.objectValue();
}

Result<Variant> indexValue(const Variant &value, QVector<Variant> &args)
{
    if (value.isArray()) {
        QVector<qint32> indexes;
        for (const Variant &a : args) {
            qint32 i = TRY(a.toLong());
            indexes.append(i);
        }
        const qsizetype offset = value.arrayValue().offsetOf(indexes);
        if (offset < 0)
            return scriptError(ErrorNumber::SubscriptOutOfRange);
        return value.arrayValue().items[offset];
    }
    if (value.isObject()) {
        if (value.isNothing())
            return scriptError(ErrorNumber::ObjectVariableNotSet);
        return value.objectValue()->invoke(QString(), CallKind::Get, args, Variant());
    }
    return scriptError(ErrorNumber::TypeMismatch);
}

Status checkArgumentCount(const MemberInfo &info, int count)
{
    const int max = info.kind == MemberKind::Property ? 0 : info.maxArgs;
    if (count < info.minArgs || (max >= 0 && count > max))
        return scriptError(ErrorNumber::WrongArgumentCount);
    return {};
}

} // namespace sorvane
