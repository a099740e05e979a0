#pragma once

#include "core/HostObject.h"

#include <QHash>

#include <functional>

namespace sorvane {

class Main;

// The main window as scripts see it: its public variables and methods, the
// form's caption and handle, and every control by its name.
class MainObject : public HostObject<MainObject> {
public:
    explicit MainObject(Main &main) : m_main(main) {}
    QString typeName() const override { return QStringLiteral("Main"); }
    static const MemberTable<MainObject> &members();

    Result<Variant> invoke(const QString &name, CallKind kind, QVector<Variant> &args, const Variant &value) override;
    std::optional<MemberInfo> member(const QString &name) const override;
    QStringList memberNames() const override;
    // The controls are numbered after the table's members, in control order.
    const void *memberTable() const override { return &members(); }
    int memberNumber(const QString &name) const override;
    Result<Variant> invokeNumber(int number, CallKind kind, QVector<Variant> &args, const Variant &value) override;

    // The controls in the window's control order, as scripts are given them.
    static const QStringList &controlNames();
    // The control of that name (any case); Nothing when there is none.
    Variant control(const QString &name);
    // Its place in control order; -1 when there is no such control.
    static int controlIndex(const QString &name);

    Main &main() const { return m_main; }

    // Exposes the program's objects to an engine, in the order scripts see
    // them: the application objects, the one window, its controls in control
    // order (each name once), and "filter", the dictionary of those names.
    static void exposeProgramObjects(Main &main,
                                     const std::function<void(const QString &name, const Variant &value)> &expose);

private:
    Main &m_main;
    QHash<QString, Variant> m_controls; // by case-folded name
};

} // namespace sorvane
