#pragma once

#include "scripting/objects/ScriptError.h"

#include <QByteArray>
#include <QString>

#include <cstddef>

namespace sorvane {

// Converts between bytes in a character set that iconv knows by name and
// UTF-16 text. Conversion never stops at bad data: bytes that do not decode
// become U+FFFD (one per `invalidUnit` bytes, one for an incomplete tail),
// and characters the set cannot hold are written as its "?".
// The only failure is a name iconv does not know.
class CharsetConverter {
public:
    struct Decoded {
        QString text;
        bool clean = true; // false when any U+FFFD stands for bad bytes
    };

    static Result<Decoded> decode(const char *bytes, std::size_t size, const char *charset,
                                  std::size_t invalidUnit = 1);
    static Result<QByteArray> encode(QStringView text, const char *charset);
};

} // namespace sorvane
