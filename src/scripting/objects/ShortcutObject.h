#pragma once

#include "core/HostObject.h"

#include <QByteArray>
#include <QString>

namespace sorvane {

// "WshShortcut": a shell link (".lnk") as the shell object's CreateShortcut
// gives it. An existing link is read when the object is made; Save writes
// the link in the platform's binary form (header, link info with the local
// base path, and the string data), so the program's own intake follows the
// links scripts make. An empty TargetPath writes a link without link info.
class ShortcutObject : public HostObject<ShortcutObject> {
public:
    explicit ShortcutObject(QString fullName);

    QString typeName() const override { return QStringLiteral("IWshShortcut_Class"); }
    static const MemberTable<ShortcutObject> &members();

    QString fullName;
    QString targetPath;
    QString arguments;
    QString workingDirectory;
    QString description;
    QString iconLocation = QStringLiteral(",0");
    qint32 windowStyle = 1;

    // The link's bytes; error 5 for a text too long for the form.
    Result<QByteArray> encode() const;
    // Takes the fields of a link's bytes; false when they are not a link.
    bool decode(const QByteArray &data);
    // 76 when the folder is missing, 70 when the file cannot be written.
    Status save() const;
};

} // namespace sorvane
