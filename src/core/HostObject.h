#pragma once

#include "core/DispatchObject.h"

#include <QHash>
#include <QVector>

#include <initializer_list>
#include <type_traits>
#include <typeinfo>

namespace sorvane {

// The arguments of one call, with the conversions members need. Reading
// past the end gives Empty; `ref` reaches an argument passed by reference.
class Arguments {
public:
    explicit Arguments(QVector<Variant> &values) : m_values(values) {}

    int count() const { return int(m_values.size()); }
    bool has(int i) const { return i < count(); }
    const Variant &operator[](int i) const;
    Variant &ref(int i) { return m_values[i]; }

    // An optional argument left out, or passed as Empty.
    bool missing(int i) const { return !has(i) || (*this)[i].isEmpty(); }

    Result<QString> text(int i) const { return (*this)[i].toString(); }
    Result<qint32> toLong(int i) const { return (*this)[i].toLong(); }
    Result<double> toDouble(int i) const { return (*this)[i].toDouble(); }
    Result<bool> toBool(int i) const { return (*this)[i].toBool(); }
    // Optional arguments: the fallback when missing.
    Result<qint32> toLong(int i, qint32 fallback) const { return missing(i) ? Result<qint32>(fallback) : toLong(i); }
    Result<bool> toBool(int i, bool fallback) const { return missing(i) ? Result<bool>(fallback) : toBool(i); }
    // An object argument; error 424 when it is not one.
    Result<std::shared_ptr<DispatchObject>> object(int i) const;

private:
    QVector<Variant> &m_values;
};

// One member of a host class: read or called through `get`, assigned
// through `let`; a missing function makes the member read- or write-only.
template <typename T>
struct HostMember {
    const char *name;
    MemberKind kind;
    int minArgs;
    int maxArgs; // -1: any number
    Result<Variant> (*get)(T &self, Arguments &args);
    Status (*let)(T &self, Arguments &args, const Variant &value);
};

// The members of a host class, found by name without regard to case; the
// empty name finds the default member.
template <typename T>
class MemberTable {
public:
    MemberTable(std::initializer_list<HostMember<T>> members, const char *defaultMember = nullptr)
        : m_members(members)
    {
        for (int i = 0; i < m_members.size(); ++i) {
            m_index.insert(QString::fromUtf8(m_members[i].name).toCaseFolded(), i);
            m_exact.insert(QString::fromUtf8(m_members[i].name), i);
        }
        if (defaultMember)
            m_default = m_index.value(QString::fromUtf8(defaultMember).toCaseFolded(), -1);
    }

    const HostMember<T> *find(const QString &name) const
    {
        const int i = indexOf(name);
        return i < 0 ? nullptr : &m_members[i];
    }

    // The member's position in the table; -1 when there is none.
    int indexOf(const QString &name) const
    {
        if (name.isEmpty())
            return m_default;
        // Names written as in the table are found without folding their case.
        if (auto exact = m_exact.constFind(name); exact != m_exact.cend())
            return *exact;
        return m_index.value(name.toCaseFolded(), -1);
    }
    const HostMember<T> &at(int i) const { return m_members[i]; }
    int size() const { return int(m_members.size()); }

    QStringList names() const
    {
        QStringList out;
        for (const HostMember<T> &m : m_members)
            out << QString::fromUtf8(m.name);
        return out;
    }

private:
    QVector<HostMember<T>> m_members;
    QHash<QString, int> m_index;
    QHash<QString, int> m_exact;
    int m_default = -1;
};

// A member's result from an operation that yields nothing: Empty, or its error.
inline Result<Variant> done(const Status &status)
{
    TRY(status);
    return Variant();
}

// A member's result from an operation's result of any kind a Variant holds.
template <typename V>
Result<Variant> wrap(const Result<V> &result)
{
    return Variant(TRY(result));
}

// Calls `f` with argument `i` as text, or gives the conversion's error.
template <typename F>
Result<Variant> withText(const Arguments &args, int i, F f)
{
    QString text = TRY(args.text(i));
    return f(text);
}

// Indexes a value read without its arguments: an element of an array, or
// the default member of an object (`obj.Items()(0)`, `Main.Config("Color")`).
Result<Variant> indexValue(const Variant &value, QVector<Variant> &args);

// Checks a call's argument count against a member (error 450).
Status checkArgumentCount(const MemberInfo &info, int count);

// A host class described by its member table: T provides
// `static const MemberTable<T> &members()`.
template <typename T>
class HostObject : public DispatchObject {
public:
    Result<Variant> invoke(const QString &name, CallKind kind, QVector<Variant> &args, const Variant &value) override
    {
        const HostMember<T> *m = T::members().find(name);
        if (!m)
            return scriptError(ErrorNumber::NoSuchPropertyOrMethod);
        return invokeMember(*m, kind, args, value);
    }

    // Numbers are the positions in T's table, for objects of exactly T when
    // T reaches its members through the table alone (a class of its own
    // invoke(), or one derived from T, is reached by name).
    const void *memberTable() const override
    {
        constexpr bool ownInvoke =
            !std::is_same_v<decltype(&T::invoke), decltype(&HostObject<T>::invoke)>;
        if constexpr (ownInvoke)
            return nullptr;
        else
            return typeid(*this) == typeid(T) ? &T::members() : nullptr;
    }
    int memberNumber(const QString &name) const override { return T::members().indexOf(name); }
    Result<Variant> invokeNumber(int number, CallKind kind, QVector<Variant> &args, const Variant &value) override
    {
        if (number < 0 || number >= T::members().size())
            return scriptError(ErrorNumber::NoSuchPropertyOrMethod);
        return invokeMember(T::members().at(number), kind, args, value);
    }

    std::optional<MemberInfo> member(const QString &name) const override
    {
        const HostMember<T> *m = T::members().find(name);
        if (!m)
            return std::nullopt;
        return MemberInfo{m->kind, m->minArgs, m->maxArgs};
    }

    QStringList memberNames() const override { return T::members().names(); }

private:
    Result<Variant> invokeMember(const HostMember<T> &member, CallKind kind, QVector<Variant> &args,
                                 const Variant &value)
    {
        const HostMember<T> *m = &member;
        T &self = static_cast<T &>(*this);
        const MemberInfo info{m->kind, m->minArgs, m->maxArgs};
        if (kind == CallKind::Get) {
            if (!m->get)
                return scriptError(ErrorNumber::WrongArgumentCount);
            if (m->kind == MemberKind::Property && !args.isEmpty()) {
                QVector<Variant> none;
                Arguments noArgs(none);
                Result<Variant> whole = m->get(self, noArgs);
                if (!whole)
                    return whole;
                return indexValue(*whole, args);
            }
            TRY(checkArgumentCount(info, int(args.size())));
            Arguments a(args);
            return m->get(self, a);
        }
        if (!m->let || m->kind == MemberKind::Method)
            return scriptError(ErrorNumber::WrongArgumentCount);
        TRY(checkArgumentCount(info, int(args.size())));
        Arguments a(args);
        TRY(m->let(self, a, value));
        return Variant();
    }
};

} // namespace sorvane
