#pragma once

#include <QString>

#include <optional>

namespace sorvane {

// Well-formed UTF-8 as UTF-16, in one pass that checks as it decodes; nullopt
// for anything else: an ill-formed or truncated sequence, a noncharacter, or
// a byte order mark at the start. Such bytes are left to the slower paths
// that decide what they are and how each odd byte reads. Bytes this accepts
// also pass the UTF-8 test of character-set detection.
std::optional<QString> decodeWellFormedUtf8(const char *data, qsizetype size);

} // namespace sorvane
