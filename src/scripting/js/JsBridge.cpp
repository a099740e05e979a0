#include "scripting/js/JsBridge.h"

#include "scripting/js/JsEngine.h"

#include <QSet>

#include <algorithm>

namespace sorvane {

namespace {

// The kinds as the binding numbers them.
int kindCode(MemberKind kind)
{
    switch (kind) {
    case MemberKind::Property:
        return 1;
    case MemberKind::Indexed:
        return 2;
    case MemberKind::Method:
        return 3;
    }
    return 0;
}

} // namespace

int JsBridge::member(int handle, const QString &name)
{
    DispatchObject *object = m_engine.objectOf(handle);
    const std::optional<MemberInfo> info = object ? object->member(name) : std::nullopt;
    return info ? kindCode(info->kind) : 0;
}

QJSValue JsBridge::access(int handle, const QString &name)
{
    DispatchObject *object = m_engine.objectOf(handle);
    const std::optional<MemberInfo> info = object ? object->member(name) : std::nullopt;
    if (!info)
        return m_engine.m_absentMarker;
    if (info->kind != MemberKind::Property)
        return m_engine.m_methodMarker;
    return get(handle, name);
}

QJSValue JsBridge::get(int handle, const QString &name)
{
    return read(handle, name, -1);
}

QJSValue JsBridge::call(int handle, const QString &name, int count, const QJSValue &arguments)
{
    return callWith(handle, name, -1, count, [&arguments](int i) { return arguments.property(quint32(i)); });
}

int JsBridge::describe(int handle, const QString &name)
{
    DispatchObject *object = m_engine.objectOf(handle);
    const std::optional<MemberInfo> info = object ? object->member(name) : std::nullopt;
    if (!info)
        return 0;
    const int number = object->memberNumber(name);
    const int most = std::min(info->maxArgs, 62);
    return ((std::max(number, -1) + 1) * 64 + most + 1) * 4 + kindCode(info->kind);
}

QJSValue JsBridge::getAt(int handle, int number)
{
    return read(handle, QString(), number);
}

QJSValue JsBridge::read(int handle, const QString &name, int number)
{
    QVector<Variant> none;
    Result<Variant> r = m_engine.hostCall(m_engine.objectOf(handle), name, number, CallKind::Get, none, Variant());
    if (!r)
        return m_engine.fail(r.error());
    return m_engine.toJs(*r);
}

QJSValue JsBridge::callAt(int handle, int number, int count, const QJSValue &arguments)
{
    return callWith(handle, QString(), number, count, [&arguments](int i) { return arguments.property(quint32(i)); });
}

QJSValue JsBridge::callAt0(int handle, int number)
{
    return callWith(handle, QString(), number, 0, [](int) { return QJSValue(); });
}

QJSValue JsBridge::callAt1(int handle, int number, const QJSValue &first)
{
    return callWith(handle, QString(), number, 1, [&first](int) { return first; });
}

QJSValue JsBridge::callAt2(int handle, int number, const QJSValue &first, const QJSValue &second)
{
    return callWith(handle, QString(), number, 2, [&](int i) { return i == 0 ? first : second; });
}

template <typename Argument>
QJSValue JsBridge::callWith(int handle, const QString &name, int number, int count, const Argument &argument)
{
    QVector<Variant> args;
    args.reserve(count);
    for (int i = 0; i < count; ++i)
        args.append(m_engine.fromJs(argument(i)));

    DispatchObject *object = m_engine.objectOf(handle);
    // A call by number is never an assignment: those go by name.
    const std::optional<MemberInfo> info = object && number < 0 ? object->member(name) : std::nullopt;
    // An indexed property given one argument more than its indexes is assigned.
    if (info && info->kind == MemberKind::Indexed && info->maxArgs >= 0 && count == info->maxArgs + 1) {
        const Variant value = args.takeLast();
        Result<Variant> r = m_engine.hostCall(object, name, -1, value.isObject() ? CallKind::Set : CallKind::Let, args,
                                              value);
        if (!r)
            return m_engine.fail(r.error());
        return QJSValue();
    }

    const QVector<Variant> before = args;
    Result<Variant> r = m_engine.hostCall(object, name, number, CallKind::Get, args, Variant());
    if (!r)
        return m_engine.fail(r.error());
    // Arrays passed by reference are changed in place, as the caller expects.
    for (int i = 0; i < count && i < args.size(); ++i) {
        if (!args[i].isArray() || args[i] == before[i])
            continue;
        QJSValue original = argument(i);
        if (original.isArray()) {
            const VariantArray &array = args[i].arrayValue();
            original.setProperty(QStringLiteral("length"), QJSValue(int(array.items.size())));
            for (int k = 0; k < array.items.size(); ++k)
                original.setProperty(quint32(k), m_engine.toJs(array.items[k]));
        }
    }
    return m_engine.toJs(*r);
}

QJSValue JsBridge::set(int handle, const QString &name, const QJSValue &value)
{
    const Variant v = m_engine.fromJs(value);
    QVector<Variant> none;
    Result<Variant> r =
        m_engine.hostCall(m_engine.objectOf(handle), name, -1, v.isObject() ? CallKind::Set : CallKind::Let, none, v);
    if (!r)
        return m_engine.fail(r.error());
    return QJSValue();
}

QJSValue JsBridge::keys(int handle)
{
    DispatchObject *object = m_engine.objectOf(handle);
    QStringList keys;
    QSet<QString> seen;
    if (object) {
        if (Result<QVector<Variant>> elements = object->elements()) {
            for (const Variant &element : *elements) {
                if (element.isObject())
                    continue;
                Result<QString> text = element.toString();
                if (text && !seen.contains(*text)) {
                    seen.insert(*text);
                    keys.append(*text);
                }
            }
        }
    }
    QJSValue out = m_engine.engine().newArray(uint(keys.size()));
    for (int i = 0; i < keys.size(); ++i)
        out.setProperty(quint32(i), QJSValue(keys[i]));
    return out;
}

QJSValue JsBridge::items(int handle)
{
    DispatchObject *object = m_engine.objectOf(handle);
    if (!object)
        return m_engine.fail(scriptError(ErrorNumber::ObjectRequired));
    Result<QVector<Variant>> elements = object->elements();
    if (!elements)
        return m_engine.fail(elements.error());
    return m_engine.toJs(Variant::fromList(*elements));
}

QJSValue JsBridge::primitive(int handle)
{
    DispatchObject *object = m_engine.objectOf(handle);
    if (!object)
        return QJSValue(QJSValue::UndefinedValue);
    const std::optional<MemberInfo> info = object->member(QString());
    if (info && info->minArgs == 0) {
        QVector<Variant> none;
        Result<Variant> r = m_engine.hostCall(object, QString(), -1, CallKind::Get, none, Variant());
        if (r && !r->isObject())
            return m_engine.toJs(*r);
    }
    return QJSValue(QStringLiteral("[object %1]").arg(object->typeName()));
}

QJSValue JsBridge::create(const QString &progId)
{
    Result<Variant> r = m_engine.m_create ? m_engine.m_create(progId)
                                          : Result<Variant>(scriptError(ErrorNumber::CannotCreateObject));
    if (!r)
        return m_engine.fail(r.error());
    return m_engine.toJs(*r);
}

QJSValue JsBridge::raise(int number)
{
    return m_engine.fail(scriptError(ErrorNumber(number)));
}

QJSValue JsBridge::takeError()
{
    QJSValue error = m_engine.m_pendingError;
    m_engine.m_pendingError = QJSValue();
    return error;
}

} // namespace sorvane
