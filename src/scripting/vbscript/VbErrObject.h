#pragma once

#include "core/HostObject.h"

#include <optional>

namespace sorvane::vb {

// The language's Err object: the last error caught under On Error Resume
// Next (Number is the default member), Raise to raise one, Clear to forget it.
class VbErrObject : public HostObject<VbErrObject> {
public:
    static const MemberTable<VbErrObject> &members();
    QString typeName() const override { return QStringLiteral("ErrObject"); }

    void record(const ScriptError &error);
    void clear();
    // What Raise gave besides the error itself, for record() to take when
    // that error arrives.
    void raised(qint32 number, const QString &helpFile, qint32 helpContext);

    qint32 number = 0;
    QString description;
    QString source;
    QString helpFile;
    qint32 helpContext = 0;

private:
    struct Raised {
        qint32 number;
        QString helpFile;
        qint32 helpContext;
    };
    std::optional<Raised> m_raised;
};

// The source errors of running code carry when nothing else set one.
extern const char kRuntimeErrorSource[];
extern const char kCompileErrorSource[];

} // namespace sorvane::vb
