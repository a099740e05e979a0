#include "core/ScriptError.h"

#include <algorithm>
#include <iterator>

namespace sorvane {
namespace {

struct KnownError {
    qint32 number;
    const char *description;
};

// The platform's texts by number, from the list in ErrorTable.h.
#define SORVANE_ERROR_ENTRY(name, number, text) {number, text},
constexpr KnownError kErrors[] = {SORVANE_ENUMERATE_ERRORS(SORVANE_ERROR_ENTRY)};
#undef SORVANE_ERROR_ENTRY

} // namespace

ScriptError scriptError(ErrorNumber name)
{
    const auto number = static_cast<qint32>(name);
    const auto *end = std::end(kErrors);
    const auto *found = std::find_if(std::begin(kErrors), end,
                                     [number](const KnownError &e) { return e.number == number; });
    ScriptError error;
    error.number = number;
    error.description = found != end ? QString::fromUtf8(found->description)
                                     : QStringLiteral("Unknown runtime error");
    return error;
}

ScriptError scriptError(ErrorNumber number, const QString &description)
{
    ScriptError error;
    error.number = static_cast<qint32>(number);
    error.description = description;
    return error;
}

} // namespace sorvane
