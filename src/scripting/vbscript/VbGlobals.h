#pragma once

#include "core/Variant.h"
#include "scripting/vbscript/VbBuiltins.h"
#include "scripting/vbscript/VbSyntax.h"

#include <QHash>
#include <QSet>
#include <QString>

#include <deque>
#include <vector>
#include <memory>

namespace sorvane::vb {

// One global name: a variable (also a constant or an exposed object, then
// read-only), a procedure or a class.
struct GlobalName {
    enum class Kind : quint8 { Variable, Procedure, Class } kind = Kind::Variable;
    int slot = -1;
    Procedure *procedure = nullptr;
};

// Everything global to one engine. Variables live in a deque so that a
// reference to one stays valid while code run later adds more.
struct Globals {
    std::deque<Variant> values;
    std::vector<quint8> readOnly;
    QSet<int> fixedArrays; // slots declared with their size (`Dim a(3)`)
    QHash<QString, GlobalName> names;                       // case-folded
    QHash<QString, std::shared_ptr<ClassInfo>> classes;     // case-folded
    QHash<QString, std::shared_ptr<BuiltinInfo>> functions; // registered by the host, case-folded

    int addVariable(const QString &name, Variant value = Variant(), bool isReadOnly = false)
    {
        const QString key = name.toCaseFolded();
        auto it = names.find(key);
        if (it != names.end() && it->kind == GlobalName::Kind::Variable) {
            if (isReadOnly) {
                values[it->slot] = std::move(value);
                readOnly[it->slot] = true;
            }
            return it->slot;
        }
        values.push_back(std::move(value));
        readOnly.push_back(isReadOnly);
        const int slot = int(values.size()) - 1;
        names.insert(key, GlobalName{GlobalName::Kind::Variable, slot, nullptr});
        return slot;
    }
};

} // namespace sorvane::vb
