#include "scripting/vbscript/VbInstance.h"

#include "scripting/vbscript/VbInterpreter.h"

namespace sorvane::vb {

VbInstance::VbInstance(const std::shared_ptr<Interpreter> &engine, std::shared_ptr<ClassInfo> info)
    : m_engine(engine), m_engineIdentity(engine.get()), m_class(std::move(info))
{
    fields.resize(m_class->fieldCount);
}

VbInstance::~VbInstance()
{
    if (!m_class->terminate)
        return;
    if (std::shared_ptr<Interpreter> engine = m_engine.lock())
        engine->terminate(*this);
}

Result<Variant> VbInstance::invoke(const QString &name, CallKind kind, QVector<Variant> &args, const Variant &value)
{
    std::shared_ptr<Interpreter> engine = m_engine.lock();
    if (!engine)
        return scriptError(ErrorNumber::ObjectRequired);
    return engine->invokeInstance(*this, name, kind, args, value);
}

std::optional<MemberInfo> VbInstance::member(const QString &name) const
{
    const int m = name.isEmpty() ? m_class->defaultMember : m_class->find(name);
    if (m < 0 || !m_class->members[m].isPublic)
        return std::nullopt;
    const ClassMember &member = m_class->members[m];
    if (member.field >= 0)
        return MemberInfo{MemberKind::Property, 0, 0};
    if (member.method) {
        const int n = int(member.method->params.size());
        return MemberInfo{MemberKind::Method, n, n};
    }
    const int n = member.get ? int(member.get->params.size()) : 0;
    return MemberInfo{n == 0 ? MemberKind::Property : MemberKind::Indexed, n, n};
}

QStringList VbInstance::memberNames() const
{
    QStringList names;
    for (const ClassMember &m : m_class->members)
        if (m.isPublic)
            names << m.name;
    return names;
}

} // namespace sorvane::vb
