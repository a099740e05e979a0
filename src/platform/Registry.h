#pragma once

#include "core/ScriptError.h"
#include "core/Variant.h"

#include <QString>

namespace sorvane {

// The per-user registry as the shell object's RegRead, RegWrite and
// RegDelete see it. A path is "ROOT\key\...\name"; a path ending in "\"
// names a key and stands for the key's default (unnamed) value. Roots may be
// written in full or abbreviated (HKCU, HKLM, HKCR, HKU, HKCC). Keys and
// value names compare without regard to case and keep the case they were
// created with.
class Registry {
public:
    virtual ~Registry() = default;
    // Creates the missing keys on the way and stores the value under `type`
    // ("REG_SZ", "REG_EXPAND_SZ", "REG_DWORD", "REG_QWORD", "REG_BINARY",
    // "REG_MULTI_SZ"); an existing value is replaced.
    virtual Status write(const QString &path, const Variant &value, const QString &type) = 0;
    // The value: text for the string types, a Long for REG_DWORD, a Double
    // for REG_QWORD, an array of bytes or texts for the other two.
    virtual Result<Variant> read(const QString &path) = 0;
    // Removes a value, or with a trailing "\" a key with its values; a key
    // that still has subkeys stays, as on the platform.
    virtual Status remove(const QString &path) = 0;
};

} // namespace sorvane
