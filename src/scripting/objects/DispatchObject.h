#pragma once

#include <QString>

#include <memory>

namespace sorvane {

// A host or script object reached by late binding. The member tables and
// the dispatch built on them extend this base.
class DispatchObject : public std::enable_shared_from_this<DispatchObject> {
public:
    virtual ~DispatchObject() = default;
    // The class name the scripts' TypeName function gives.
    virtual QString typeName() const = 0;
};

} // namespace sorvane
