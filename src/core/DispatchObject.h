#pragma once

#include "core/Variant.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <memory>
#include <optional>

namespace sorvane {

// How a member is reached: read (a property, or a method call), or assigned
// a value (Let for values, Set for object references).
enum class CallKind : quint8 { Get, Let, Set };

// What a binding needs to know about a member before it is used: a plain
// property is read at once, an indexed property or a method waits for its
// arguments.
enum class MemberKind : quint8 { Property, Indexed, Method };

struct MemberInfo {
    MemberKind kind = MemberKind::Property;
    int minArgs = 0;
    int maxArgs = 0; // -1: any number
};

// An object reached by late binding, as the scripts' platform does it:
// members by name without regard to case, the empty name for the default
// member. Host objects implement it with member tables (HostObject.h);
// both script engines call only this interface.
class DispatchObject : public std::enable_shared_from_this<DispatchObject> {
public:
    virtual ~DispatchObject() = default;
    // The class name the scripts' TypeName function gives.
    virtual QString typeName() const = 0;

    // Reads or calls (Get) or assigns (Let/Set, with `value`) a member; `args`
    // are the call's arguments or the property's indexes. A callee may change
    // `args` in place: arguments passed by reference are copied back.
    virtual Result<Variant> invoke(const QString &name, CallKind kind, QVector<Variant> &args, const Variant &value);
    // The member of that name; nullopt when there is none.
    virtual std::optional<MemberInfo> member(const QString &name) const;
    // Names of the members, for enumeration by bindings.
    virtual QStringList memberNames() const;
    // The elements a For Each visits; error 451 when this is no collection.
    virtual Result<QVector<Variant>> elements();

    // Late binding in two steps, for a caller that reaches one member many
    // times: the member's number for a name (the empty name: the default
    // member), then calls by that number, which act as invoke() by name
    // does. Numbers hold among the objects giving the same memberTable();
    // one giving none (the default) is reached by name only.
    virtual const void *memberTable() const;
    // -1 when there is no such member.
    virtual int memberNumber(const QString &name) const;
    virtual Result<Variant> invokeNumber(int number, CallKind kind, QVector<Variant> &args, const Variant &value);

    // Convenience for C++ callers.
    Result<Variant> get(const QString &name, QVector<Variant> args = {});
    Status let(const QString &name, const Variant &value, QVector<Variant> args = {});
};

} // namespace sorvane
