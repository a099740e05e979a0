#pragma once

#include "core/DispatchObject.h"
#include "scripting/vbscript/VbSyntax.h"

#include <memory>
#include <vector>

namespace sorvane::vb {

class Interpreter;

// An object of a class the script declares. It is a DispatchObject like any
// host object, so host code can hold it (in a Dictionary, say) and call its
// public members; once its engine is gone every call fails with error 424.
class VbInstance final : public DispatchObject {
public:
    VbInstance(const std::shared_ptr<Interpreter> &engine, std::shared_ptr<ClassInfo> info);
    ~VbInstance() override;

    QString typeName() const override { return m_class->name; }
    Result<Variant> invoke(const QString &name, CallKind kind, QVector<Variant> &args, const Variant &value) override;
    std::optional<MemberInfo> member(const QString &name) const override;
    QStringList memberNames() const override;

    const ClassInfo &classInfo() const { return *m_class; }
    const Interpreter *engine() const { return m_engineIdentity; }

    std::vector<Variant> fields;

private:
    std::weak_ptr<Interpreter> m_engine;
    const Interpreter *m_engineIdentity;
    std::shared_ptr<ClassInfo> m_class;
};

} // namespace sorvane::vb
