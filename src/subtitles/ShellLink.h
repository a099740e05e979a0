#pragma once

#include "core/ScriptError.h"

#include <QByteArray>
#include <QString>

namespace sorvane {

// Reads the target of a Windows shell link (".lnk") from its binary form:
// the header, the optional item-id list (skipped) and the link info with its
// local base path and common path suffix. The Unicode forms are taken when
// present, the ANSI forms otherwise. Every offset and size is checked
// against the data; a link without a local path, or damaged, is an error.
namespace ShellLink {

Result<QString> targetPath(const QByteArray &data);
Result<QString> readTarget(const QString &fileName);

} // namespace ShellLink
} // namespace sorvane
