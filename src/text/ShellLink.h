#pragma once

#include "core/ScriptError.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace sorvane {

// The binary form of a Windows shell link (".lnk"): the header, the
// optional item-id list (skipped), the link info with its local base path
// and common path suffix, and the string data. Every offset and size is
// checked against the data.
namespace ShellLink {

// A link is small; anything larger is not one.
constexpr qsizetype kMaxLinkSize = 1 << 20;

// The fields of a link that the shell's shortcut object shows.
struct Link {
    QString targetPath; // "" for a link without a local path
    QString arguments;
    QString workingDirectory;
    QString description;
    QString iconPath;
    qint32 iconIndex = 0;
    qint32 showCommand = 1;
};

// The target's local path: the Unicode forms when present, the ANSI forms
// otherwise; a link without a local path, or damaged, is an error.
Result<QString> targetPath(const QByteArray &data);
Result<QString> readTarget(const QString &fileName);

// Every field of a link; nullopt when the data is not a link or its string
// data is cut short. A damaged link info gives an empty target.
std::optional<Link> decode(const QByteArray &data);
// The link's bytes, Unicode strings, with link info when there is a target;
// error 5 for a text too long for the form.
Result<QByteArray> encode(const Link &link);

} // namespace ShellLink
} // namespace sorvane
