#pragma once

#include "core/Variant.h"

#include <ostream>

namespace sorvane {

// Failure messages show a Variant as its kind and text.
inline void PrintTo(const Variant &value, std::ostream *out)
{
    *out << value.typeName().toStdString() << "(" << value.text().toStdString() << ")";
}

} // namespace sorvane
