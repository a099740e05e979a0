#pragma once

#include "core/ScriptError.h"

#include <QByteArray>
#include <QString>

#include <cstddef>

namespace sorvane {

// Converts between bytes in a character set that iconv knows by name and
// UTF-16 text. Conversion never stops at bad data: bytes that do not decode
// become U+FFFD (one per `invalidUnit` bytes skipped),
// and characters the set cannot hold are written as its "?".
// After a bad unit decoding goes on with the next bytes, so one broken
// character never hides the text after it.
// The only failure is a name iconv does not know.
class CharsetConverter {
public:
    struct Decoded {
        QString text;
        bool clean = true; // false when any U+FFFD stands for bad bytes
    };

    // `asciiRuns`: the set is one where two ASCII bytes in a row are always
    // two characters (UTF-8, GBK, GB18030). Long ASCII runs are then copied
    // without iconv, and GB18030's two-byte characters are looked up in a
    // table taken from iconv; the result is the same, only sooner.
    static Result<Decoded> decode(const char *bytes, std::size_t size, const char *charset,
                                  std::size_t invalidUnit = 1, bool asciiRuns = false);
    static Result<QByteArray> encode(QStringView text, const char *charset);
};

} // namespace sorvane
